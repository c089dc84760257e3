#include "Unit1.h"

#include "about_window.h"
#include "application.h"
#include "application_rules.h"
#include "html_help.h"
#include "outer_size.h"
#include "placement.h"
#include "qt_conversions.h"
#include "window_design.h"
#include "window_host.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QProxyStyle>
#include <QScreen>
#include <QShortcut>
#include <QStyleOptionMenuItem>
#include <QUrl>
#include <QWindow>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

/// A command waiting to run on the main window.
class CommandEvent : public QEvent {
public:
    static QEvent::Type kind()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }

    explicit CommandEvent(std::function<void()> command)
        : QEvent(kind())
        , m_command(std::move(command))
    {
    }

    /// Runs the command; an error it throws ends it in the application-level error box.
    void run() const { runCommand(m_command); }

private:
    std::function<void()> m_command;
};

/// Accepts a drag or drop that carries only loadable files, as a copy: the
/// source keeps its files whatever action it proposed.
bool acceptLoadable(QDropEvent *event)
{
    if (!(event->possibleActions() & Qt::CopyAction)
        || loadableFiles(*event->mimeData()).isEmpty()) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

/// The menu bar's look while it is worked from the keyboard (Alt, F10, the arrow
/// keys): the current item is drawn as when its menu is open. Some styles, Fusion
/// among them, otherwise mark a menu-bar item only while its menu is open, and
/// the keyboard's place in the bar cannot be seen.
class KeyboardMenuBarStyle : public QProxyStyle {
public:
    void drawControl(ControlElement element,
        const QStyleOption *option,
        QPainter *painter,
        const QWidget *widget) const override
    {
        // The bar has the focus only under keyboard control; a mouse over an item does not give it.
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (element == CE_MenuBarItem && item && (item->state & State_Selected) && widget
            && widget->hasFocus()) {
            QStyleOptionMenuItem current(*item);
            current.state |= State_Sunken;
            QProxyStyle::drawControl(element, &current, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

} // namespace

QStringList loadableFiles(const QMimeData &data)
{
    QStringList files;
    for (const QUrl &url : data.urls()) {
        if (!url.isLocalFile())
            return {};
        const QString file = url.toLocalFile();
        if (!varnholt::isLoadableFileName(file.toStdString()))
            return {};
        files.append(file);
    }
    return files;
}

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent)
{
    const QIcon programIcon(QStringLiteral(":/varnholt.png"));
    setWindowIcon(programIcon);

    MainMenu1 = new QMenuBar(this);
    setMenuBar(MainMenu1);
    auto *menuBarStyle = new KeyboardMenuBarStyle;
    menuBarStyle->setParent(MainMenu1);
    MainMenu1->setStyle(menuBarStyle);

    LoadDlg = new QFileDialog(this);
    LoadDlg->setOption(QFileDialog::DontUseNativeDialog);
    LoadDlg->setOption(QFileDialog::HideNameFilterDetails);
    LoadDlg->setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name of a missing file is accepted; the run then reports it.
    LoadDlg->setFileMode(QFileDialog::AnyFile);
    LoadDlg->setSizeGripEnabled(true);

    storedpic = new QLabel(this);
    storedpic->setGeometry(256, 128, 73, 73);
    storedpic->setPixmap(programIcon.pixmap(QSize(64, 64)));
    storedpic->hide();

    setAcceptDrops(true);

    File1 = MainMenu1->addMenu(toQString(varnholt::fileMenuCaption));
    LoadCSVfile1 = File1->addAction(toQString(varnholt::loadCommandCaption));
    Renumber = File1->addAction(toQString(varnholt::renumberCommandCaption));
    FiveDigit = File1->addAction(toQString(varnholt::fiveDigitCommandCaption));
    N1 = File1->addSeparator();
    Close1 = File1->addAction(toQString(varnholt::closeCommandCaption));
    Help1 = MainMenu1->addAction(toQString(varnholt::helpCommandCaption));
    About = MainMenu1->addAction(toQString(varnholt::aboutCommandCaption));

    connect(LoadCSVfile1, &QAction::triggered, this,
        [this] { postCommand(&TMainForm::LoadCSVfile1Click); });
    connect(
        Renumber, &QAction::triggered, this, [this] { postCommand(&TMainForm::RenumberClick); });
    connect(
        FiveDigit, &QAction::triggered, this, [this] { postCommand(&TMainForm::FiveDigitClick); });
    connect(Close1, &QAction::triggered, this, [this] { postCommand(&TMainForm::Close1Click); });
    connect(Help1, &QAction::triggered, this, [this] { postCommand(&TMainForm::Help1Click); });
    connect(About, &QAction::triggered, this, [this] { postCommand(&TMainForm::AboutClick); });

    // F10 opens the first menu, as on other desktops; the captions carry no accelerators.
    connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this, [this] {
        MainMenu1->setActiveAction(File1->menuAction());
        File1->setActiveAction(LoadCSVfile1);
    });

    m_host = std::make_unique<WindowHost>(*this, *LoadDlg);

    keepOuterSize(this, toQSize(varnholt::mainWindowSize));
    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate()
{
    // The conversion state got its start values with m_conversion.
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    move(toQPoint(varnholt::centredOnScreen(toSize(screen), varnholt::mainWindowSize)));
}

void TMainForm::FormActivate() { setWindowTitle(toQString(varnholt::mainWindowCaption())); }

void TMainForm::LoadCSVfile1Click() { loadCommand().loadCSVfile(); }

void TMainForm::RenumberClick() { loadCommand().loadAndRenumber(); }

void TMainForm::FiveDigitClick() { loadCommand().loadWithFiveDigitNumbers(); }

void TMainForm::Close1Click() { close(); }

void TMainForm::Help1Click() { HtmlHelpA(this, "VARNHOLT.chm", 0, 0); }

void TMainForm::AboutClick() { showAboutWindow(this, storedpic->pixmap()); }

void TMainForm::openFiles(const QStringList &paths)
{
    std::vector<std::string> files;
    for (const QString &path : paths) {
        // As the file dialog gives it: a full path. An empty name stays empty.
        files.push_back(QFile::encodeName(
            path.isEmpty() ? path : QDir::cleanPath(QDir::current().absoluteFilePath(path)))
                            .toStdString());
    }
    m_queue.addFiles(std::move(files));
    startOpeningFiles();
}

bool TMainForm::event(QEvent *event)
{
    if (event->type() == CommandEvent::kind()) {
        static_cast<CommandEvent *>(event)->run();
        return true;
    }
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    // Files wait until the window is on the screen; its native window tells.
    if (event->type() == QEvent::Show && windowHandle())
        windowHandle()->installEventFilter(this);
    return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose)
        startOpeningFiles();
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event) { acceptLoadable(event); }

void TMainForm::dragMoveEvent(QDragMoveEvent *event) { acceptLoadable(event); }

void TMainForm::dropEvent(QDropEvent *event)
{
    if (acceptLoadable(event))
        openFiles(loadableFiles(*event->mimeData()));
}

varnholt::LoadCommand TMainForm::loadCommand() { return { m_conversion, *m_host }; }

void TMainForm::postCommand(void (TMainForm::*command)())
{
    QCoreApplication::postEvent(this, new CommandEvent([this, command] { (this->*command)(); }));
}

void TMainForm::startOpeningFiles()
{
    const QWindow *handle = windowHandle();
    if (handle && handle->isExposed() && m_queue.startOpening())
        postCommand(&TMainForm::openWaitingFiles);
}

void TMainForm::openWaitingFiles()
{
    m_queue.openWaitingFiles([this](const std::string &path) {
        // An error is shown as a menu command's is, and the next file runs.
        runCommand([&] { loadCommand().loadChosenFile(path); });
    });
}

void startMainWindow(TMainForm &form, const QStringList &arguments)
{
    form.show();
    form.activateWindow();
    form.openFiles(arguments.mid(1));
}
