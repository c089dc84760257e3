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

QString qtNameFilter(std::string_view filter)
{
    QString text = QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size()));
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return text;
    QString patterns = text.mid(bar + 1);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return text.left(bar) + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

WindowHost::WindowHost(QWidget &window, QFileDialog &dialog)
    : m_window(window)
    , m_dialog(dialog)
{
}

std::optional<std::string> WindowHost::chooseFile(
    const std::string &filter, const std::string &lastName)
{
    m_dialog.setNameFilters({ qtNameFilter(filter) });
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
