#pragma once

#include <windows.h>

namespace varnholt::windows_app {

/// Registers the About windows' window class; once, before the first one.
void registerAboutWindowClass(HINSTANCE instance);

/// Builds a new About window owned by `owner`, centred on it, with `icon` drawn
/// at its own size, and shows it active. Closing it hides it; it goes with its
/// owner. Returns the window.
HWND showAboutWindow(HINSTANCE instance, HWND owner, HICON icon);

} // namespace varnholt::windows_app
