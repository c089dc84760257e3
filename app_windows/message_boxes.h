#pragma once

#include "geometry.h"

#include <optional>
#include <string_view>
#include <vector>
#include <windows.h>

namespace varnholt::windows_app {

enum class BoxIcon { None, Stop };

/// While it lives, the program's shown windows other than `owner` are disabled:
/// a modal dialog or message box disables its owner only, and the program's
/// other windows (About windows) would still take input. Those it disabled are
/// enabled again when it goes.
class OtherWindowsDisabled {
public:
    explicit OtherWindowsDisabled(HWND owner);
    ~OtherWindowsDisabled();
    OtherWindowsDisabled(const OtherWindowsDisabled &) = delete;
    OtherWindowsDisabled &operator=(const OtherWindowsDisabled &) = delete;

private:
    static BOOL CALLBACK disable(HWND window, LPARAM self);

    HWND m_owner;
    std::vector<HWND> m_disabled;
};

/// A message box with one OK button, `caption` and `text` (UTF-8), returning
/// when the user has closed it. Its frame's top-left corner goes to `at`; along
/// an axis where `at` is negative, or without `at`, it is centred on the
/// primary screen. It is modal for the whole program: while it shows, none of
/// the program's windows takes input. `owner` (may be null) gets the focus back.
void showMessageBox(HWND owner,
    BoxIcon icon,
    std::string_view caption,
    std::string_view text,
    std::optional<Point> at = std::nullopt);

} // namespace varnholt::windows_app
