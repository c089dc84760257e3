#pragma once

#include "geometry.h"

#include <optional>
#include <string_view>
#include <windows.h>

namespace varnholt::windows_app {

enum class BoxIcon { None, Stop };

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
