// Pure rules of the desktop program: window placement, the application title,
// the error box's full stop and the file dialog's filter.

#include "application.h"
#include "conversion.h"
#include "placement.h"
#include "window_host.h"

#include <QTest>
#include <optional>

class AppRulesTest : public QObject {
    Q_OBJECT
private slots:
    void mainWindowCentredOnScreen_data();
    void mainWindowCentredOnScreen();
    void aboutWindowCentredOnMainWindow_data();
    void aboutWindowCentredOnMainWindow();
    void messageBoxPlace_data();
    void messageBoxPlace();
    void helpWindowBesideMainWindow_data();
    void helpWindowBesideMainWindow();
    void applicationTitle_data();
    void applicationTitle();
    void fullStopRule_data();
    void fullStopRule();
    void nameFilter_data();
    void nameFilter();
};

void AppRulesTest::mainWindowCentredOnScreen_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("1920x1080") << QSize(1920, 1080) << QPoint(768, 402);
    QTest::newRow("1024x768") << QSize(1024, 768) << QPoint(320, 246);
    // -83 / 2 is -41: truncated toward zero, not rounded down.
    QTest::newRow("narrower than the window") << QSize(300, 600) << QPoint(-41, 162);
    QTest::newRow("lower than the window") << QSize(800, 200) << QPoint(208, -37);
    QTest::newRow("exactly the window") << QSize(383, 275) << QPoint(0, 0);
}

void AppRulesTest::mainWindowCentredOnScreen()
{
    QFETCH(QSize, screen);
    QFETCH(QPoint, topLeft);
    QCOMPARE(centredOnScreen(screen, QSize(383, 275)), topLeft);
}

void AppRulesTest::aboutWindowCentredOnMainWindow_data()
{
    QTest::addColumn<QRect>("mainFrame");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("design size") << QRect(100, 100, 383, 275) << QPoint(92, 95);
    QTest::newRow("negatives become 0") << QRect(3, 2, 383, 275) << QPoint(0, 0);
    QTest::newRow("only left negative") << QRect(3, 50, 383, 275) << QPoint(0, 45);
    QTest::newRow("resized main window") << QRect(200, 150, 800, 600) << QPoint(400, 307);
    // -17 / 2 is -8, not -9.
    QTest::newRow("odd difference") << QRect(100, 100, 383, 269) << QPoint(92, 92);
    QTest::newRow("main window off screen") << QRect(-300, -300, 383, 275) << QPoint(0, 0);
}

void AppRulesTest::aboutWindowCentredOnMainWindow()
{
    QFETCH(QRect, mainFrame);
    QFETCH(QPoint, topLeft);
    QCOMPARE(aboutWindowPlace(mainFrame, QSize(400, 286)), topLeft);
}

void AppRulesTest::messageBoxPlace_data()
{
    QTest::addColumn<std::optional<QPoint>>("at");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("topLeft");
    const QRect screen(0, 0, 1920, 1080);
    QTest::newRow("at the point") << std::optional(QPoint(175, 165)) << screen << QPoint(175, 165);
    QTest::newRow("zero is applied") << std::optional(QPoint(0, 0)) << screen << QPoint(0, 0);
    QTest::newRow("negative left centred")
        << std::optional(QPoint(-25, 165)) << screen << QPoint(860, 165);
    QTest::newRow("negative top centred")
        << std::optional(QPoint(175, -1)) << screen << QPoint(175, 490);
    QTest::newRow("both negative") << std::optional(QPoint(-1, -1)) << screen << QPoint(860, 490);
    QTest::newRow("no point: centred") << std::optional<QPoint>() << screen << QPoint(860, 490);
    QTest::newRow("screen not at origin")
        << std::optional(QPoint(-1, 40)) << QRect(100, 0, 1000, 800) << QPoint(500, 40);
}

void AppRulesTest::messageBoxPlace()
{
    QFETCH(std::optional<QPoint>, at);
    QFETCH(QRect, screen);
    QFETCH(QPoint, topLeft);
    QCOMPARE(::messageBoxPlace(at, QSize(200, 100), screen), topLeft);
}

void AppRulesTest::helpWindowBesideMainWindow_data()
{
    QTest::addColumn<QRect>("mainFrame");
    QTest::addColumn<QSize>("help");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("topLeft");
    const QRect fullHd(0, 0, 1920, 1080);
    const QRect xga(0, 0, 1024, 768);
    const QRect centredOnFullHd(768, 402, 383, 275);
    QTest::newRow("1920x1080: room on the right")
        << centredOnFullHd << QSize(742, 581) << fullHd << QPoint(1151, 402);
    QTest::newRow("exactly room on the right")
        << centredOnFullHd << QSize(769, 581) << fullHd << QPoint(1151, 402);
    QTest::newRow("one pixel short on both sides: centred")
        << centredOnFullHd << QSize(770, 581) << fullHd << QPoint(575, 249);
    QTest::newRow("1024x768: no room, centred")
        << QRect(320, 246, 383, 275) << QSize(742, 581) << xga << QPoint(141, 93);
    QTest::newRow("main window at the right edge: left side")
        << QRect(1500, 300, 383, 275) << QSize(742, 581) << fullHd << QPoint(758, 300);
    QTest::newRow("main window low: moved up onto the screen")
        << QRect(100, 700, 383, 275) << QSize(742, 581) << fullHd << QPoint(483, 499);
    QTest::newRow("main window partly off the left edge")
        << QRect(-200, -40, 383, 275) << QSize(742, 581) << xga << QPoint(183, 0);
    QTest::newRow("help larger than the screen: clamped to 0,0")
        << QRect(100, 100, 383, 275) << QSize(1000, 700) << QRect(0, 0, 800, 600) << QPoint(0, 0);
    QTest::newRow("panel above the available area") << QRect(320, 246, 383, 275) << QSize(742, 581)
                                                    << QRect(0, 28, 1024, 740) << QPoint(141, 107);
    QTest::newRow("second screen to the right") << QRect(2000, 100, 383, 275) << QSize(742, 581)
                                                << QRect(1920, 0, 1280, 1024) << QPoint(2383, 100);
}

void AppRulesTest::helpWindowBesideMainWindow()
{
    QFETCH(QRect, mainFrame);
    QFETCH(QSize, help);
    QFETCH(QRect, screen);
    QFETCH(QPoint, topLeft);
    QCOMPARE(helpWindowPlace(mainFrame, help, screen), topLeft);
}

void AppRulesTest::applicationTitle_data()
{
    QTest::addColumn<QString>("programPath");
    QTest::addColumn<QString>("title");
    QTest::newRow("extension cut, rest lower case") << "ConvTool.exe"
                                                    << "Convtool";
    QTest::newRow("cut at the first full stop") << "a.b.exe"
                                                << "a";
    QTest::newRow("folder dropped") << "/opt/Tools/ConvTool.exe"
                                    << "Convtool";
    QTest::newRow("full stop in a folder does not cut") << "/opt/v1.2/VARNHOLT"
                                                        << "Varnholt";
    QTest::newRow("first character kept lower case") << "/usr/bin/varnholt"
                                                     << "varnholt";
    QTest::newRow("name starting with a full stop") << "/tmp/.Hidden"
                                                    << "";
}

void AppRulesTest::applicationTitle()
{
    QFETCH(QString, programPath);
    QFETCH(QString, title);
    QCOMPARE(applicationTitleFor(programPath), title);
}

void AppRulesTest::fullStopRule_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("letter") << QByteArray("File access denied")
                            << QByteArray("File access denied.");
    QTest::newRow("full stop") << QByteArray("x.") << QByteArray("x.");
    QTest::newRow("empty") << QByteArray("") << QByteArray("");
    QTest::newRow("exclamation mark") << QByteArray("a!") << QByteArray("a!");
    QTest::newRow("parenthesis") << QByteArray("a)") << QByteArray("a)");
    QTest::newRow("comma") << QByteArray("a,") << QByteArray("a,");
    QTest::newRow("hyphen") << QByteArray("a-") << QByteArray("a-");
    QTest::newRow("blank") << QByteArray("a ") << QByteArray("a ");
    QTest::newRow("slash, code 47") << QByteArray("a/") << QByteArray("a/.");
    QTest::newRow("question mark") << QByteArray("a?") << QByteArray("a?.");
    QTest::newRow("colon") << QByteArray("a:") << QByteArray("a:.");
    QTest::newRow("digit") << QByteArray("I/O error 32") << QByteArray("I/O error 32.");
    QTest::newRow("8-bit character") << QByteArray("caf\xe9") << QByteArray("caf\xe9.");
}

void AppRulesTest::fullStopRule()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, shown);
    QCOMPARE(QByteArray::fromStdString(withClosingFullStop(message.toStdString())), shown);
}

void AppRulesTest::nameFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("qtFilter");
    QTest::newRow("load command's filter") << QString::fromLatin1(
        varnholt::loadFilter.data(), static_cast<qsizetype>(varnholt::loadFilter.size()))
                                           << "CSV satellite data (*.csv, *.txt) (*.csv *.txt)";
    QTest::newRow("one pattern") << "All files|*"
                                 << "All files (*)";
    QTest::newRow("no bar") << "Text (*.txt)"
                            << "Text (*.txt)";
}

void AppRulesTest::nameFilter()
{
    QFETCH(QString, filter);
    QFETCH(QString, qtFilter);
    QCOMPARE(qtNameFilter(filter.toStdString()), qtFilter);
}

QTEST_APPLESS_MAIN(AppRulesTest)
#include "app_rules_test.moc"
