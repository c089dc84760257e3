#include "application.h"

#include "application_rules.h"
#include "file_io.h"
#include "message_boxes.h"
#include "qt_conversions.h"
#include "window_design.h"

#include <QIcon>
#include <exception>
#include <string>

namespace {

std::string qtLowerCase(std::string_view text) { return toQString(text).toLower().toStdString(); }

} // namespace

QString applicationTitleFor(const QString &programPath)
{
    return QString::fromStdString(
        varnholt::applicationTitleFor(programPath.toStdString(), qtLowerCase));
}

QString applicationTitle()
{
    static const QString title = applicationTitleFor(QCoreApplication::applicationFilePath());
    return title;
}

VarnholtApplication::VarnholtApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // A full file-size limit or a closed pipe ends a run with an error box,
    // not the program by a signal.
    varnholt::reportFileLimitsAsErrors();
    applicationTitle();
    setWindowIcon(QIcon(QStringLiteral(":/varnholt.png")));
}

void showErrorBox(std::string_view message)
{
    showMessageBox(QApplication::activeWindow(), QMessageBox::Critical, applicationTitle(),
        QString::fromLocal8Bit(varnholt::withClosingFullStop(message)));
}

void showErrorBox(const std::exception_ptr &error) noexcept
{
    try {
        showMessageBox(QApplication::activeWindow(), QMessageBox::Critical, applicationTitle(),
            QString::fromLocal8Bit(varnholt::errorBoxText(error)));
    } catch (...) {
        // Not even the box could be shown (no memory left): nothing more to do.
    }
}
