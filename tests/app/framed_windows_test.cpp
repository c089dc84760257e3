// Windows framed by a real window manager (the test runs through
// with_window_manager.sh). Every placement rule speaks of the frame, which the
// window manager adds only after a window is shown, with a caption bar that
// makes it taller above than below.

#include "Unit1.h"
#include "gui_test_support.h"
#include "message_boxes.h"

#include <QAction>
#include <QGuiApplication>
#include <QMainWindow>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QWindow>
#include <optional>

namespace {

/// Waits until the window manager has framed `window`. The native window learns
/// of its frame first; the widget's frame geometry may follow only at its next move.
bool waitForFrame(const QWidget *window)
{
    return QTest::qWaitFor([window] {
        return window->windowHandle() && !window->windowHandle()->frameMargins().isNull();
    });
}

QRect frameOf(const QWidget *window) { return window->windowHandle()->frameGeometry(); }

/// The top-left corner of `window`'s frame where the X server has it now, or
/// none when xwininfo cannot tell. Qt reports a move the program asks for at
/// once; the server has it only once the window manager has carried it out, and
/// until then Qt may still be told of the window's earlier place.
std::optional<QPoint> serverFrameTopLeft(const QWidget *window)
{
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"),
        { QStringLiteral("-id"), QString::number(window->windowHandle()->winId()) });
    if (!xwininfo.waitForFinished(10000) || xwininfo.exitCode() != 0)
        return std::nullopt;
    const QString text = QString::fromLocal8Bit(xwininfo.readAllStandardOutput());
    const auto value = [&text](QLatin1String label) -> std::optional<int> {
        const QRegularExpressionMatch match
            = QRegularExpression(label + QLatin1String(":\\s*(-?\\d+)")).match(text);
        return match.hasMatch() ? std::optional(match.captured(1).toInt()) : std::nullopt;
    };
    const std::optional<int> x = value(QLatin1String("Absolute upper-left X"));
    const std::optional<int> y = value(QLatin1String("Absolute upper-left Y"));
    if (!x || !y)
        return std::nullopt;
    const QMargins frame = window->windowHandle()->frameMargins();
    return QPoint(*x - frame.left(), *y - frame.top());
}

/// Whether the X server and Qt both have `window`'s frame at `at`: Qt is synced
/// with the server first, so that whatever the window manager said of the
/// window before it carried out the latest move has reached Qt.
bool frameSettledAt(const QWidget *window, QPoint at)
{
    if (serverFrameTopLeft(window) != at)
        return false;
    QGuiApplication::sync();
    return frameOf(window).topLeft() == at;
}

} // namespace

class FramedWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void mainWindowCentredByOuterSize();
    void helpBesideMainWindow();
    void messageBoxFrames_data();
    void messageBoxFrames();
};

void FramedWindowsTest::initTestCase()
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        QSKIP("needs an X display with a window manager (with_window_manager.sh)");
    QWidget probe;
    probe.resize(100, 100);
    probe.show();
    if (!waitForFrame(&probe))
        QSKIP("no window manager frames the windows");
    // The frames these tests are about: a caption bar taller than the bottom border.
    const QMargins frame = probe.windowHandle()->frameMargins();
    QVERIFY(frame.top() > frame.bottom());
}

void FramedWindowsTest::mainWindowCentredByOuterSize()
{
    TMainForm form;
    form.show();
    QVERIFY(waitForFrame(&form));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QTRY_COMPARE(frameOf(&form),
        QRect(QPoint((screen.width() - 383) / 2, (screen.height() - 275) / 2), QSize(383, 275)));
}

void FramedWindowsTest::helpBesideMainWindow()
{
    // The help file is found in the current directory, the build's app folder.
    TMainForm form;
    form.show();
    QVERIFY(waitForFrame(&form));
    const QRect main = frameOf(&form);

    form.Help1->trigger();
    QMainWindow *help = nullptr;
    QVERIFY(QTest::qWaitFor([&] {
        help = form.findChild<QMainWindow *>(QStringLiteral("helpWindow"));
        return help && help->isVisible();
    }));
    QVERIFY(waitForFrame(help));
    // Centred on 1920 x 1080, the main window leaves room on its right.
    QTRY_COMPARE(frameOf(help).topLeft(), QPoint(main.right() + 1, main.top()));
    QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(frameOf(help)));

    help->move(40, 50);
    QVERIFY(QTest::qWaitFor([&] { return frameSettledAt(help, QPoint(40, 50)); }, 20000));
    form.Help1->trigger();
    // The command is a posted event: run it now rather than wait for it.
    QCoreApplication::sendPostedEvents();
    QCOMPARE(form.findChildren<QMainWindow *>(QStringLiteral("helpWindow")).size(), 1);
    // The window manager carries out the command's requests in order: once it
    // has made the help window active, a move the command asked for is done too.
    (void)QTest::qWaitFor([&] { return help->isActiveWindow(); }, 5000);
    QGuiApplication::sync();
    QCOMPARE(serverFrameTopLeft(help), std::optional(QPoint(40, 50)));
    QCOMPARE(frameOf(help).topLeft(), QPoint(40, 50));
}

void FramedWindowsTest::messageBoxFrames_data()
{
    QTest::addColumn<std::optional<QPoint>>("at");
    QTest::addColumn<bool>("centredAcross");
    QTest::addColumn<bool>("centredDown");
    QTest::newRow("centred notice") << std::optional<QPoint>() << true << true;
    QTest::newRow("at a point") << std::optional(QPoint(475, 467)) << false << false;
    QTest::newRow("left negative") << std::optional(QPoint(-25, 467)) << true << false;
    QTest::newRow("top negative") << std::optional(QPoint(475, -1)) << false << true;
}

void FramedWindowsTest::messageBoxFrames()
{
    QFETCH(std::optional<QPoint>, at);
    QFETCH(bool, centredAcross);
    QFETCH(bool, centredDown);
    TMainForm form;
    form.show();
    QVERIFY(waitForFrame(&form));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Centred by integer halves: the centres may differ by one pixel.
    const auto placed = [&](const QRect &frame) {
        const bool across = centredAcross ? qAbs(frame.center().x() - screen.center().x()) <= 1
                                          : frame.left() == at->x();
        const bool down = centredDown ? qAbs(frame.center().y() - screen.center().y()) <= 1
                                      : frame.top() == at->y();
        return across && down;
    };

    QRect frame;
    QRect client;
    ModalAnswerer answerer;
    answerer.expect([&](QWidget *box) {
        if (waitForFrame(box))
            (void)QTest::qWaitFor([&] { return placed(frameOf(box)); }, 2000);
        frame = frameOf(box);
        client = box->windowHandle()->geometry();
        box->close();
    });
    showMessageBox(
        &form, QMessageBox::NoIcon, applicationTitle(), QStringLiteral("Not a valid filename"), at);

    QVERIFY(answerer.done());
    QVERIFY2(frame != client, "the box was not framed");
    QVERIFY2(placed(frame),
        qPrintable(QStringLiteral("frame %1,%2 %3x%4 on a %5x%6 screen")
                       .arg(frame.x())
                       .arg(frame.y())
                       .arg(frame.width())
                       .arg(frame.height())
                       .arg(screen.width())
                       .arg(screen.height())));
}

VARNHOLT_GUI_TEST_MAIN(FramedWindowsTest)
#include "framed_windows_test.moc"
