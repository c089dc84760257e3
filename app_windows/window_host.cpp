#include "window_host.h"

#include "application.h"
#include "message_boxes.h"
#include "wide_text.h"
#include "window_design.h"

#include <commdlg.h>

namespace varnholt::windows_app {

namespace {

    /// Room for the longest path the system takes, and its end.
    constexpr std::size_t pathRoom = 32768;

} // namespace

std::wstring dialogFilter(std::string_view filter)
{
    std::wstring text;
    for (const FilterEntry &entry : filterEntries(filter)) {
        text += wideText(entry.description);
        text += L'\0';
        text += wideText(entry.patterns);
        text += L'\0';
    }
    text += L'\0';
    return text;
}

FileOpenDialog::FileOpenDialog(HWND owner)
    : m_owner(owner)
{
}

std::optional<std::string> FileOpenDialog::execute(
    std::string_view filter, std::string_view lastName)
{
    const std::wstring filterText = dialogFilter(filter);
    std::wstring initialName = wideText(lastName);
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::wstring file(pathRoom, L'\0');
        if (initialName.size() < pathRoom)
            file.replace(0, initialName.size(), initialName);

        OPENFILENAMEW dialog {};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = m_owner;
        dialog.lpstrFilter = filterText.c_str();
        dialog.nFilterIndex = 1;
        dialog.lpstrFile = file.data();
        dialog.nMaxFile = static_cast<DWORD>(file.size());
        dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
        // Like the message boxes, the dialog is modal for the whole program.
        const OtherWindowsDisabled others(m_owner);
        if (::GetOpenFileNameW(&dialog)) {
            file.resize(file.find(L'\0'));
            return utf8Text(file);
        }
        // A last name the dialog refuses to show is dropped, and the dialog opened again.
        if (::CommDlgExtendedError() == 0 || initialName.empty())
            return std::nullopt;
        initialName.clear();
    }
    return std::nullopt;
}

WindowHost::WindowHost(HWND window, FileOpenDialog &dialog)
    : m_window(window)
    , m_dialog(dialog)
{
}

std::optional<std::string> WindowHost::chooseFile(
    const std::string &filter, const std::string &lastName)
{
    return m_dialog.execute(filter, lastName);
}

Point WindowHost::windowTopLeft() const
{
    RECT frame {};
    ::GetWindowRect(m_window, &frame);
    return { frame.left, frame.top };
}

void WindowHost::notice(const std::string &text)
{
    showMessageBox(m_window, BoxIcon::None, applicationTitle(), text);
}

void WindowHost::placedNotice(const std::string &text, Point at)
{
    showMessageBox(m_window, BoxIcon::None, applicationTitle(), text, at);
}

void WindowHost::placedError(const std::string &text, Point at)
{
    showMessageBox(m_window, BoxIcon::Stop, errorBoxCaption, text, at);
}

} // namespace varnholt::windows_app
