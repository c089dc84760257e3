#pragma once

#include <windows.h>

namespace varnholt::windows_app {

/// Shows the default topic of the compiled help file `file` in the system's
/// HTML Help viewer, by HtmlHelpA with `caller` as the calling window, command
/// 0 and data 0. The viewer's library is loaded at the first call; on a system
/// without it nothing happens. What the viewer shows when the file is missing
/// is the viewer's own.
void showHtmlHelp(HWND caller, const char *file);

/// Closes every help window the viewer opened; nothing when it was never loaded.
void closeHtmlHelp();

} // namespace varnholt::windows_app
