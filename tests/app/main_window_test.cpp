// The main window: placement, caption, menu, program icon and closing.

#include "Unit1.h"
#include "gui_test_support.h"
#include "version.h"

#include <QAction>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <functional>
#include <stdexcept>

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void centredOnPrimaryScreenByOuterSize();
    void captionSetAtEveryActivation();
    void menuCaptions();
    void programIcon();
    void f10OpensFileMenu();
    void keyboardMarksMenuBarItem();
    void errorsReachApplicationErrorBox_data();
    void errorsReachApplicationErrorBox();
    void closeEndsProgramWithAboutWindowsOpen();
};

namespace {

/// How many pixels of the menu-bar item of `action` have the highlight colour.
int highlightedPixels(QMenuBar *bar, QAction *action)
{
    const QImage image = bar->grab().toImage();
    const QRgb highlight = bar->palette().color(QPalette::Highlight).rgb();
    const QRect item = bar->actionGeometry(action);
    int count = 0;
    for (int y = item.top(); y <= item.bottom(); ++y) {
        for (int x = item.left(); x <= item.right(); ++x)
            count += image.pixel(x, y) == highlight ? 1 : 0;
    }
    return count;
}

/// The menu-bar item marked as current, judged by what is drawn: the one item
/// that has at least half its pixels in the highlight colour, or nullptr.
QAction *markedItem(QMenuBar *bar)
{
    QAction *marked = nullptr;
    for (QAction *action : bar->actions()) {
        const QRect item = bar->actionGeometry(action);
        if (highlightedPixels(bar, action) * 2 >= item.width() * item.height()) {
            if (marked)
                return nullptr;
            marked = action;
        }
    }
    return marked;
}

} // namespace

void MainWindowTest::centredOnPrimaryScreenByOuterSize()
{
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    // The offscreen platform draws a frame of its own: the frame, not the
    // client, must measure 383 x 275.
    QTRY_COMPARE(form.frameGeometry(),
        QRect(QPoint((screen.width() - 383) / 2, (screen.height() - 275) / 2), QSize(383, 275)));
    QVERIFY(!(form.windowFlags() & Qt::WindowStaysOnTopHint));
}

void MainWindowTest::captionSetAtEveryActivation()
{
    TMainForm form;
    QVERIFY(form.windowTitle().isEmpty());
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const QString caption = form.windowTitle();
    QCOMPARE(caption,
        QStringLiteral("Varnholt  version ")
            + QString::fromUtf8(
                varnholt::programVersion.data(), qsizetype(varnholt::programVersion.size())));

    form.setWindowTitle(QStringLiteral("changed"));
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(form.windowTitle(), QStringLiteral("changed"));
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(form.windowTitle(), caption);
}

void MainWindowTest::menuCaptions()
{
    TMainForm form;
    const QList<QAction *> bar = form.MainMenu1->actions();
    QCOMPARE(bar.size(), 3);
    QCOMPARE(bar[0], form.File1->menuAction());
    QCOMPARE(bar[0]->text(), QStringLiteral("File") + QString(16, QLatin1Char(' ')));
    QCOMPARE(bar[1], form.Help1);
    QCOMPARE(bar[1]->text(), QStringLiteral("Help") + QString(17, QLatin1Char(' ')));
    QCOMPARE(bar[2], form.About);
    QCOMPARE(bar[2]->text(), QStringLiteral("About"));
    // Help and About are commands of the bar itself, without a drop-down.
    QVERIFY(!form.Help1->menu());
    QVERIFY(!form.About->menu());

    const QList<QAction *> file = form.File1->actions();
    QCOMPARE(file.size(), 5);
    QCOMPARE(file[0], form.LoadCSVfile1);
    QCOMPARE(file[0]->text(), QStringLiteral("Load CSV file"));
    QCOMPARE(file[1], form.Renumber);
    QCOMPARE(file[1]->text(), QStringLiteral("Load and Renumber"));
    QCOMPARE(file[2], form.FiveDigit);
    QCOMPARE(file[2]->text(), QStringLiteral("Load with Five-Digit Numbers"));
    QCOMPARE(file[3], form.N1);
    QVERIFY(file[3]->isSeparator());
    QCOMPARE(file[4], form.Close1);
    QCOMPARE(file[4]->text(), QStringLiteral("Close"));
    for (QAction *action : bar + file) {
        QVERIFY(action->isEnabled());
        QVERIFY(!action->isCheckable());
        QVERIFY(action->shortcut().isEmpty());
    }
}

void MainWindowTest::programIcon()
{
    const QImage icon(QStringLiteral(":/varnholt.png"));
    QCOMPARE(icon.size(), QSize(64, 64));
    QVERIFY(!icon.hasAlphaChannel());
    QVERIFY(!QApplication::windowIcon().isNull());

    TMainForm form;
    QVERIFY(!form.windowIcon().isNull());
    QVERIFY(form.storedpic->isHidden());
    QCOMPARE(form.storedpic->geometry(), QRect(256, 128, 73, 73));
    QCOMPARE(form.storedpic->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
        icon.convertToFormat(QImage::Format_RGB32));
}

void MainWindowTest::f10OpensFileMenu()
{
    TMainForm form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    QTest::keyClick(&form, Qt::Key_F10);

    QTRY_VERIFY(form.File1->isVisible());
    QCOMPARE(form.MainMenu1->activeAction(), form.File1->menuAction());
    QCOMPARE(form.File1->activeAction(), form.LoadCSVfile1);
    QCOMPARE(markedItem(form.MainMenu1), form.File1->menuAction());

    // Escape closes the menu; the bar stays under keyboard control with File marked.
    QTest::keyClick(form.File1, Qt::Key_Escape);
    QTRY_VERIFY(!form.File1->isVisible());
    QTRY_COMPARE(markedItem(form.MainMenu1), form.File1->menuAction());
}

void MainWindowTest::keyboardMarksMenuBarItem()
{
    TMainForm form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(markedItem(form.MainMenu1), nullptr);
    // A mouse over an item marks nothing.
    const QPoint overHelp = form.MainMenu1->actionGeometry(form.Help1).center();
    QMouseEvent move(QEvent::MouseMove, overHelp, form.MainMenu1->mapToGlobal(overHelp),
        Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form.MainMenu1, &move);
    QCOMPARE(form.MainMenu1->activeAction(), form.Help1);
    QCOMPARE(markedItem(form.MainMenu1), nullptr);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(form.MainMenu1, &leave);
    QCOMPARE(form.MainMenu1->activeAction(), nullptr);

    // Alt pressed and released alone hands the bar to the keyboard.
    QTest::keyPress(&form, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(&form, Qt::Key_Alt, Qt::NoModifier);
    QTRY_VERIFY(form.MainMenu1->hasFocus());
    QVERIFY(!form.File1->isVisible());
    QCOMPARE(markedItem(form.MainMenu1), form.File1->menuAction());

    QTest::keyClick(form.MainMenu1, Qt::Key_Right);
    QCOMPARE(markedItem(form.MainMenu1), form.Help1);
    QTest::keyClick(form.MainMenu1, Qt::Key_Right);
    QCOMPARE(markedItem(form.MainMenu1), form.About);

    QTest::keyClick(form.MainMenu1, Qt::Key_Escape);
    QCOMPARE(form.MainMenu1->activeAction(), nullptr);
    QCOMPARE(markedItem(form.MainMenu1), nullptr);
}

void MainWindowTest::errorsReachApplicationErrorBox_data()
{
    QTest::addColumn<std::function<void()>>("toThrow");
    QTest::addColumn<QString>("shown");
    QTest::newRow("I/O error") << std::function<void()>([] {
        throw std::runtime_error("File access denied");
    }) << "File access denied.";
    QTest::newRow("message with full stop")
        << std::function<void()>([] { throw std::runtime_error("Stopped."); }) << "Stopped.";
    QTest::newRow("not a std::exception")
        << std::function<void()>([] { throw 42; }) << "An unexpected error occurred.";
}

void MainWindowTest::errorsReachApplicationErrorBox()
{
    QFETCH(std::function<void()>, toThrow);
    QFETCH(QString, shown);
    ShownBox box;
    ModalAnswerer answerer;
    answerer.expect(recordBox(box));
    // A command run from the event loop, as the menu's commands are.
    bool ended = false;
    QTimer::singleShot(0, this, [&] {
        runCommand(toThrow);
        ended = true;
    });
    // The error ends the command, goes no further, and the event loop goes on.
    QTRY_VERIFY(ended);
    QVERIFY(answerer.done());
    QCOMPARE(box.caption, applicationTitle());
    QCOMPARE(box.text, shown);
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, 1);
}

void MainWindowTest::closeEndsProgramWithAboutWindowsOpen()
{
    // Runs the application's own event loop, as the program does, and expects
    // "Close" to end it although two About windows are still open.
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.AboutClick();
    form.AboutClick();
    QTimer::singleShot(0, form.Close1, &QAction::trigger);
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(2); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(form.isHidden());
}

VARNHOLT_GUI_TEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
