// The About window: look, content layout, placement and lifetime.

#include "Unit1.h"
#include "about_window.h"
#include "gui_test_support.h"
#include "version.h"

#include <QAbstractScrollArea>
#include <QFontInfo>
#include <QLabel>
#include <QPointer>

namespace {

QList<QWidget *> aboutWindows(const TMainForm &form)
{
    QList<QWidget *> windows;
    for (QWidget *child : form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() && child->windowTitle() == QStringLiteral("About this program"))
            windows.append(child);
    }
    return windows;
}

QWidget *openAbout(TMainForm &form)
{
    const qsizetype before = aboutWindows(form).size();
    form.About->trigger();
    if (!QTest::qWaitFor([&] { return aboutWindows(form).size() == before + 1; }))
        return nullptr;
    QWidget *about = aboutWindows(form).last();
    if (!QTest::qWaitForWindowExposed(about))
        return nullptr;
    return about;
}

} // namespace

class AboutWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void windowProperties();
    void contentItems_data();
    void contentItems();
    void fontsAndTexts();
    void readmeRow_data();
    void readmeRow();
    void centredOnMainWindow_data();
    void centredOnMainWindow();
    void twoWindowsAtTheSamePlace();
    void closingHides();

private:
    TMainForm *m_form = nullptr;
};

void AboutWindowTest::init()
{
    m_form = new TMainForm;
    m_form->move(100, 100);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
    QTRY_COMPARE(m_form->frameGeometry(), QRect(100, 100, 383, 275));
}

void AboutWindowTest::cleanup()
{
    delete m_form;
    m_form = nullptr;
}

void AboutWindowTest::windowProperties()
{
    QWidget *about = openAbout(*m_form);
    QVERIFY(about);
    QCOMPARE(about->windowTitle(), QStringLiteral("About this program"));
    QCOMPARE(about->parentWidget(), m_form);
    QTRY_COMPARE(about->frameGeometry().size(), QSize(400, 286));
    QCOMPARE(about->palette().color(QPalette::Window), QColor(0xDF, 0xDF, 0xDF));
    QVERIFY(about->autoFillBackground());

    const Qt::WindowFlags flags = about->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowStaysOnTopHint));
    QVERIFY(!about->isModal());
    QVERIFY(!about->testAttribute(Qt::WA_DeleteOnClose));
    QTRY_COMPARE(QApplication::activeWindow(), about);
}

void AboutWindowTest::contentItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("topLeft");
    QTest::addColumn<QSize>("size"); // empty: sized to its text
    QTest::newRow("frame rectangle") << "frame" << QPoint(0, -2) << QSize(384, 246);
    QTest::newRow("icon") << "icon" << QPoint(40, 46) << QSize(105, 105);
    QTest::newRow("title") << "title" << QPoint(90, 2) << QSize();
    QTest::newRow("version") << "row2" << QPoint(120, 40) << QSize();
    QTest::newRow("date") << "row3" << QPoint(120, 60) << QSize();
    QTest::newRow("author") << "row4" << QPoint(120, 80) << QSize();
    QTest::newRow("README folder") << "row5" << QPoint(120, 100) << QSize();
    QTest::newRow("credits") << "row6" << QPoint(120, 120) << QSize();
    QTest::newRow("description") << "description" << QPoint(20, 138) << QSize(340, 86);
}

void AboutWindowTest::contentItems()
{
    QFETCH(QString, name);
    QFETCH(QPoint, topLeft);
    QFETCH(QSize, size);
    QWidget *about = openAbout(*m_form);
    QVERIFY(about);
    auto *item = about->findChild<QWidget *>(name);
    QVERIFY(item);
    QVERIFY(item->isVisible());
    QCOMPARE(item->pos(), topLeft);
    if (size.isValid()) {
        QCOMPARE(item->size(), size);
    } else {
        auto *label = qobject_cast<QLabel *>(item);
        QVERIFY(label);
        QCOMPARE(label->size(), label->sizeHint());
    }

    // Built in table order: each item lies above the ones before it.
    const QObjectList order = about->children();
    static const QStringList names { "frame", "icon", "title", "row2", "row3", "row4", "row5",
        "row6", "description" };
    const qsizetype index = names.indexOf(name);
    if (index > 0)
        QVERIFY(order.indexOf(about->findChild<QWidget *>(names[index - 1])) < order.indexOf(item));
}

void AboutWindowTest::fontsAndTexts()
{
    QWidget *about = openAbout(*m_form);
    QVERIFY(about);
    // The font that draws: Arial, or the metric-compatible Liberation Sans that
    // stands for it where Arial is not installed.
    const QStringList arial { QStringLiteral("Arial"), QStringLiteral("Liberation Sans") };
    QVERIFY2(arial.contains(QFontInfo(about->font()).family()),
        qPrintable(QFontInfo(about->font()).family()));
    QCOMPARE(QFontInfo(about->font()).pointSize(), 11);

    auto *title = about->findChild<QLabel *>("title");
    QCOMPARE(title->text(), QStringLiteral("Varnholt"));
    const QFontInfo titleFont(title->font());
    QVERIFY2(arial.contains(titleFont.family()), qPrintable(titleFont.family()));
    QCOMPARE(titleFont.pointSize(), 14);
    QVERIFY(titleFont.bold());
    QVERIFY(titleFont.underline());

    QCOMPARE(about->findChild<QLabel *>("row2")->text(),
        QStringLiteral("version ") + QString::fromUtf8(varnholt::programVersion));
    QCOMPARE(about->findChild<QLabel *>("row3")->text(), QStringLiteral("October 1, 2025"));
    QCOMPARE(about->findChild<QLabel *>("row5")->text(),
        QStringLiteral("README: " VARNHOLT_INSTALL_DOCDIR));
    QVERIFY(about->findChild<QLabel *>("row5")->text().endsWith("/share/doc/varnholt"));
    // Every row ends inside the frame rectangle, whose right side is 2 pixels wide.
    for (const char *row : { "title", "row2", "row3", "row4", "row5", "row6" })
        QVERIFY2(about->findChild<QLabel *>(row)->geometry().right() < 384 - 2, row);
    for (const char *row : { "row4", "row5", "row6" }) {
        auto *label = about->findChild<QLabel *>(row);
        QVERIFY(!label->text().isEmpty());
        QCOMPARE(label->font().pointSize(), 11);
        QCOMPARE(label->font().italic(), qstrcmp(row, "row6") == 0);
    }

    auto *icon = about->findChild<QLabel *>("icon");
    QCOMPARE(icon->pixmap().size(), QSize(64, 64));
    QVERIFY(!icon->hasScaledContents());
    QCOMPARE(icon->alignment(), Qt::AlignLeft | Qt::AlignTop);

    auto *description = about->findChild<QLabel *>("description");
    QCOMPARE(description->text(),
        QStringLiteral("\nVarnholt is a utility for converting a list of satellite element "
                       "sets in CSV format into the older 2-line element sets as required by "
                       "ORBITRON satellite tracking software inter alia.\n\n"));
    QVERIFY(description->wordWrap());
    QCOMPARE(description->minimumSize(), description->maximumSize());

    // Smaller than its content: the content is cut, no scroll bar appears.
    about->resize(150, 100);
    QTRY_COMPARE(about->size(), QSize(150, 100));
    QVERIFY(about->findChildren<QAbstractScrollArea *>().isEmpty());
    QCOMPARE(description->size(), QSize(340, 86));
}

void AboutWindowTest::readmeRow_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("shortened");
    QTest::newRow("/usr") << "/usr/share/doc/varnholt" << false;
    QTest::newRow("/usr/local") << "/usr/local/share/doc/varnholt" << false;
    QTest::newRow("long prefix") << "/opt/satellite-tools/varnholt-2.10/share/doc/varnholt" << true;
}

void AboutWindowTest::readmeRow()
{
    QFETCH(QString, folder);
    QFETCH(bool, shortened);
    const QFontMetrics metrics(QFont(QStringLiteral("Arial"), 11));
    const int room = 384 - 2 - 120;

    const QString row = ::readmeRow(folder, metrics, room);

    QVERIFY(metrics.horizontalAdvance(row) <= room);
    if (shortened) {
        QVERIFY(row.startsWith(QStringLiteral("README: /opt/")));
        QVERIFY(row.endsWith(QStringLiteral("/varnholt")));
        QVERIFY(row.contains(QChar(0x2026)));
    } else {
        QCOMPARE(row, QStringLiteral("README: ") + folder);
    }
}

void AboutWindowTest::centredOnMainWindow_data()
{
    QTest::addColumn<QRect>("mainFrame");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("design size") << QRect(100, 100, 383, 275) << QPoint(92, 95);
    QTest::newRow("near the corner") << QRect(3, 2, 383, 275) << QPoint(0, 0);
    QTest::newRow("resized") << QRect(200, 150, 800, 600) << QPoint(400, 307);
}

void AboutWindowTest::centredOnMainWindow()
{
    QFETCH(QRect, mainFrame);
    QFETCH(QPoint, topLeft);
    const QMargins frame = { m_form->geometry().left() - m_form->frameGeometry().left(),
        m_form->geometry().top() - m_form->frameGeometry().top(),
        m_form->frameGeometry().right() - m_form->geometry().right(),
        m_form->frameGeometry().bottom() - m_form->geometry().bottom() };
    m_form->move(mainFrame.topLeft());
    m_form->resize(mainFrame.size().shrunkBy(frame));
    QTRY_COMPARE(m_form->frameGeometry(), mainFrame);

    QWidget *about = openAbout(*m_form);
    QVERIFY(about);
    QTRY_COMPARE(about->frameGeometry(), QRect(topLeft, QSize(400, 286)));
}

void AboutWindowTest::twoWindowsAtTheSamePlace()
{
    QWidget *first = openAbout(*m_form);
    QWidget *second = openAbout(*m_form);
    QVERIFY(first && second && first != second);
    QTRY_COMPARE(second->frameGeometry(), QRect(92, 95, 400, 286));
    QCOMPARE(first->frameGeometry(), second->frameGeometry());
    QTRY_COMPARE(QApplication::activeWindow(), second);
}

void AboutWindowTest::closingHides()
{
    QPointer<QWidget> first = openAbout(*m_form);
    QVERIFY(first);
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first);
    QVERIFY(first->isHidden());

    QWidget *second = openAbout(*m_form);
    QVERIFY(second && second != first);
    QVERIFY(first->isHidden());
    QCOMPARE(aboutWindows(*m_form).size(), 2);
}

VARNHOLT_GUI_TEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"
