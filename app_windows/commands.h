#pragma once

// What another program needs to find and drive the Windows program's windows:
// their window classes and the command identifiers of the menu. The test
// driver sends these as WM_COMMAND, as a click on the menu does.

namespace varnholt::windows_app {

/// The window class of the main window.
inline constexpr wchar_t mainWindowClass[] = L"TMainForm";
/// The window class of the About windows.
inline constexpr wchar_t aboutWindowClass[] = L"TAboutWindow";

/// The menu's command identifiers, sent with WM_COMMAND.
enum Command : unsigned short {
    LoadCSVfile1 = 101,
    Renumber = 102,
    Close1 = 103,
    Help1 = 104,
    About = 105,
    FiveDigit = 106,
};

} // namespace varnholt::windows_app
