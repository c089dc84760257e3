#include "application.h"

#include "file_io.h"
#include "message_boxes.h"

#include <QFileInfo>
#include <QIcon>
#include <exception>

QString applicationTitleFor(const QString &programPath)
{
    const QString fileName = QFileInfo(programPath).fileName();
    QString stem = fileName.left(fileName.indexOf(QLatin1Char('.')));
    if (stem.isEmpty())
        return stem;
    return stem.left(1) + stem.mid(1).toLower();
}

QString applicationTitle()
{
    static const QString title = applicationTitleFor(QCoreApplication::applicationFilePath());
    return title;
}

std::string withClosingFullStop(std::string_view message)
{
    std::string text(message);
    // Compared as an unsigned code, so that characters above 127 also count as above 46.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    return text;
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

bool VarnholtApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        showErrorBox(error.what());
    } catch (...) {
        showErrorBox("An unexpected error occurred");
    }
    return true;
}

void VarnholtApplication::showErrorBox(std::string_view message)
{
    showMessageBox(QApplication::activeWindow(), QMessageBox::Critical, applicationTitle(),
        QString::fromLocal8Bit(withClosingFullStop(message)));
}
