#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <windows.h>

namespace varnholt::windows_app {

/// The application title for the program file at `programPath`, letters put in
/// lower case as the system does it ("C:\Tools\ConvTool.exe" gives "Convtool").
std::string applicationTitleFor(std::wstring_view programPath);

/// The full path of the running program's file.
std::wstring programFile();

/// The folder the running program's file lies in, without a final separator.
std::wstring programFolder();

/// The running program's application title, made at the first call.
const std::string &applicationTitle();

/// The application-level error box for `message` (UTF-8): the application
/// title as caption, the stop icon, OK, the full-stop rule applied. It belongs
/// to the active window, which gets the focus back.
void showErrorBox(std::string_view message);

/// Shows the error `error` holds in the application-level error box.
void showErrorBox(const std::exception_ptr &error) noexcept;

/// Runs `handler`; an error it throws is shown in the application-level error
/// box and goes no further, so that none crosses a window procedure.
template <class Handler> void runHandler(Handler &&handler) noexcept
{
    try {
        handler();
    } catch (...) {
        showErrorBox(std::current_exception());
    }
}

/// Registers the window class `name` of the program's windows: the program
/// icon, the arrow cursor, `background`. Throws when the system refuses it.
void registerWindowClass(
    HINSTANCE instance, const wchar_t *name, WNDPROC procedure, HBRUSH background);

/// The system's text for the error `code`, without its line end.
std::string systemErrorText(DWORD code);

/// The program: makes the main window, opens the files the command line names
/// and runs the message loop until the main window is closed. Returns the exit
/// status.
int runApplication(HINSTANCE instance, int showCommand);

} // namespace varnholt::windows_app
