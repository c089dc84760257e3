#include "window_host.h"

#include "application.h"
#include "message_boxes.h"
#include "qt_conversions.h"
#include "window_design.h"

#include <QFile>
#include <QFileDialog>
#include <QWidget>

namespace {

QString decoded(const std::string &text)
{
    return QFile::decodeName(QByteArray::fromStdString(text));
}

} // namespace

QStringList qtNameFilters(std::string_view filter)
{
    QStringList filters;
    for (const varnholt::FilterEntry &entry : varnholt::filterEntries(filter)) {
        const QString description = toQString(entry.description);
        // "*.csv" alone, or a Qt filter "Text (*.txt)" given whole: Qt reads it as it is.
        if (entry.patterns == entry.description) {
            filters.append(description);
            continue;
        }
        QStringList patterns = toQString(entry.patterns).split(QLatin1Char(';'));
        for (QString &pattern : patterns) {
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        filters.append(description + QStringLiteral(" (") + patterns.join(QLatin1Char(' '))
            + QLatin1Char(')'));
    }
    return filters;
}

WindowHost::WindowHost(QWidget &window, QFileDialog &dialog)
    : m_window(window)
    , m_dialog(dialog)
{
}

std::optional<std::string> WindowHost::chooseFile(
    const std::string &filter, const std::string &lastName)
{
    const QStringList filters = qtNameFilters(filter);
    m_dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        m_dialog.selectNameFilter(filters.front());
    if (!lastName.empty())
        m_dialog.selectFile(decoded(lastName));
    if (m_dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = m_dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::string();
    return QFile::encodeName(chosen.front()).toStdString();
}

varnholt::Point WindowHost::windowTopLeft() const
{
    const QPoint corner = m_window.frameGeometry().topLeft();
    return { corner.x(), corner.y() };
}

void WindowHost::notice(const std::string &text)
{
    showMessageBox(&m_window, QMessageBox::NoIcon, applicationTitle(), decoded(text));
}

void WindowHost::placedNotice(const std::string &text, varnholt::Point at)
{
    showMessageBox(&m_window, QMessageBox::NoIcon, applicationTitle(), decoded(text), toQPoint(at));
}

void WindowHost::placedError(const std::string &text, varnholt::Point at)
{
    showMessageBox(&m_window, QMessageBox::Critical, toQString(varnholt::errorBoxCaption),
        decoded(text), toQPoint(at));
}
