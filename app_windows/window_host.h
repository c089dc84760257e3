#pragma once

#include "load_command.h"

#include <optional>
#include <string>
#include <string_view>
#include <windows.h>

namespace varnholt::windows_app {

/// The file-dialog filter for a filter text (see filterEntries): for each entry
/// its description and its patterns, each ended by a null character, then one
/// more, as the common dialog takes them. A text without "|" is taken as the
/// patterns, with itself as their description.
std::wstring dialogFilter(std::string_view filter);

/// The common file-open dialog of the main window: the filter's first entry
/// selected, the last chosen name filled in, resizable, without the read-only
/// box; a typed name of a file that does not exist is accepted. While it shows, none of the
/// program's other windows takes input.
class FileOpenDialog {
public:
    explicit FileOpenDialog(HWND owner);

    /// Runs the dialog. Returns the chosen full path (UTF-8), or nothing when
    /// the user cancelled.
    std::optional<std::string> execute(std::string_view filter, std::string_view lastName);

private:
    HWND m_owner;
};

/// The desktop side of the load commands: the main window's file dialog, its
/// place and the three message boxes.
class WindowHost : public LoadCommandHost {
public:
    /// `window` and `dialog` must outlive the host.
    WindowHost(HWND window, FileOpenDialog &dialog);

    std::optional<std::string> chooseFile(
        const std::string &filter, const std::string &lastName) override;
    Point windowTopLeft() const override;
    void notice(const std::string &text) override;
    void placedNotice(const std::string &text, Point at) override;
    void placedError(const std::string &text, Point at) override;

private:
    HWND m_window;
    FileOpenDialog &m_dialog;
};

} // namespace varnholt::windows_app
