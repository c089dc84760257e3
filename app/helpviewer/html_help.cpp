#include "html_help.h"

#include "chm_archive.h"
#include "help_browser.h"
#include "help_lookup.h"
#include "help_window.h"
#include "outer_size.h"
#include "placement.h"
#include "qt_conversions.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

namespace {

// The only command of the HTML Help entry point that the program uses; its data
// is either 0 (the default topic) or the archive path of a page.
constexpr unsigned DisplayTopic = 0;

void tellUser(QWidget *caller, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QCoreApplication::translate("HtmlHelp", "Help"), text,
        QMessageBox::Ok, caller);
    box.exec();
}

QString nativeList(const QStringList &folders)
{
    QStringList lines;
    for (const QString &folder : folders)
        lines << QDir::toNativeSeparators(folder);
    return lines.join(QLatin1Char('\n'));
}

HelpWindow *openWindowFor(QWidget *caller, const QString &fileName)
{
    const QList<QWidget *> candidates = caller != nullptr
        ? caller->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)
        : QApplication::topLevelWidgets();
    for (QWidget *widget : candidates) {
        auto *window = qobject_cast<HelpWindow *>(widget);
        if (window != nullptr && window->archive().fileName() == fileName)
            return window;
    }
    return nullptr;
}

/// Keeps a new help window beside its caller's window, or centred on the primary
/// screen when there is no caller.
void placeBesideCaller(QWidget *window, QWidget *caller)
{
    const QWidget *main = caller != nullptr ? caller->window() : nullptr;
    const QScreen *screen = main != nullptr ? main->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen->availableGeometry();
    const QRect mainFrame = main != nullptr ? main->frameGeometry() : QRect();
    keepPlaced(window, main, [available, mainFrame](QSize outer) {
        if (mainFrame.isNull()) {
            return available.topLeft()
                + toQPoint(varnholt::centredOnScreen(toSize(available.size()), toSize(outer)));
        }
        return toQPoint(
            varnholt::helpWindowPlace(toRect(mainFrame), toSize(outer), toRect(available)));
    });
}

} // namespace

QStringList helpFileFolders()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    QStringList folders {
        programFolder,
        QDir::cleanPath(programFolder + QLatin1String("/../share/varnholt")),
        QDir::cleanPath(QStringLiteral(VARNHOLT_INSTALL_DATADIR)),
        QDir::currentPath(),
    };
    folders.removeDuplicates();
    return folders;
}

QString findHelpFile(const QString &name)
{
    if (name.isEmpty())
        return {};
    if (name.contains(QLatin1Char('/')) || name.contains(QDir::separator())) {
        const QFileInfo file(name);
        return file.isFile() ? file.absoluteFilePath() : QString();
    }
    for (const QString &folder : helpFileFolders()) {
        const QFileInfo file(QDir(folder), name);
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return {};
}

QWidget *HtmlHelpA(QWidget *caller, const char *file, unsigned command, std::uintptr_t data)
{
    const QString name = file != nullptr ? QFile::decodeName(file) : QString();
    const QString path = findHelpFile(name);
    if (path.isEmpty()) {
        tellUser(caller,
            QCoreApplication::translate("HtmlHelp",
                "The help file \"%1\" was not found.\n\n"
                "Looked in:\n%2")
                .arg(name, nativeList(helpFileFolders())));
        return nullptr;
    }

    // Data of the display command names a page; every other command, and data 0,
    // shows the default topic.
    QString topic;
    if (command == DisplayTopic && data != 0)
        // The help interface passes a page name as an address in its data word.
        topic = QString::fromUtf8(
            reinterpret_cast<const char *>(data)); // NOLINT(performance-no-int-to-ptr)

    HelpWindow *window = openWindowFor(caller, path);
    if (window == nullptr) {
        std::shared_ptr<const ChmArchive> archive = ChmArchive::open(path);
        if (archive == nullptr) {
            tellUser(caller,
                QCoreApplication::translate("HtmlHelp",
                    "The help file \"%1\" cannot be read: it is damaged "
                    "or not a compiled help file.")
                    .arg(QDir::toNativeSeparators(path)));
            return nullptr;
        }
        if (archive->defaultTopic().isEmpty()) {
            tellUser(caller,
                QCoreApplication::translate("HtmlHelp", "The help file \"%1\" has no pages.")
                    .arg(QDir::toNativeSeparators(path)));
            return nullptr;
        }
        window = new HelpWindow(archive, caller);
        placeBesideCaller(window, caller);
    }

    if (!topic.isEmpty() && window->archive().contains(topic))
        window->browser()->showTopic(topic);
    else
        window->browser()->showDefaultTopic();
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
