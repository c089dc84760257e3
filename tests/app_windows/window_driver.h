#pragma once

// Drives the Windows program from another process, as a user would: starts it,
// finds its windows, sends menu commands, answers the open dialog and reads
// and closes message boxes. Every wait has a time limit; a window that does
// not come within it throws Timeout, and the program is ended when its
// RunningProgram goes.

#include "commands.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

namespace varnholt::window_tests {

/// How long any expected window or event may take to come.
inline constexpr std::chrono::milliseconds timeLimit { 10000 };

/// An expected window or event that did not come within the time limit. The
/// message names what was awaited and the windows the program had open.
class Timeout : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A path given at build time as a Windows path: a POSIX path ("/a/b") names
/// the file through drive Z:, where Wine shows the host's root.
std::filesystem::path hostPath(std::string_view path);

std::wstring className(HWND window);
/// The window's text, asked for by WM_GETTEXT: a control's text in another process too.
std::wstring windowText(HWND window);
/// The outer (frame) rectangle on the screen.
RECT frameOf(HWND window);

/// The icon a message box shows: one of the system's message-box icons, told
/// apart by the pixels on the screen (another process's icon handle cannot be read).
enum class BoxIcon { none, stop, question, exclamation, information, unknown };

std::string toString(BoxIcon icon);
/// How GoogleTest prints a BoxIcon.
inline void PrintTo(BoxIcon icon, std::ostream *out) { *out << toString(icon); }

/// A message box as it stands on the screen.
struct MessageBoxView {
    HWND window;
    std::wstring caption;
    std::wstring text;
    RECT frame;
    BoxIcon icon;
};

/// Presses a button of a dialog or message box (IDOK, IDCANCEL) and waits until
/// the dialog has gone.
void press(HWND dialog, int button);

/// The text in the file-name box of an open dialog.
std::wstring fileNameIn(HWND openDialog);
/// Types `name` into the open dialog's file-name box and presses Open.
void chooseFile(HWND openDialog, const std::filesystem::path &name);

/// A started process's handles; the process is ended, if it still runs, when this goes.
class ChildProcess {
public:
    explicit ChildProcess(const PROCESS_INFORMATION &started);
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    HANDLE handle() const { return m_info.hProcess; }
    DWORD id() const { return m_info.dwProcessId; }

private:
    PROCESS_INFORMATION m_info;
};

/// One run of a program, ended (if still running) when this goes.
class RunningProgram {
public:
    /// Starts `program` with `arguments` in `workingFolder` (the program's own
    /// folder when empty), and waits for its main window. Throws Timeout when none comes.
    explicit RunningProgram(const std::filesystem::path &program,
        const std::vector<std::wstring> &arguments = {},
        const std::filesystem::path &workingFolder = {});
    RunningProgram(const RunningProgram &) = delete;
    RunningProgram &operator=(const RunningProgram &) = delete;

    HWND mainWindow() const { return m_mainWindow; }

    /// Sends a menu command, as a click on the menu does.
    void command(windows_app::Command command) const;

    /// The program's visible top-level windows.
    std::vector<HWND> windows() const;
    /// The program's top-level windows of class `windowClass`, visible or not.
    std::vector<HWND> windowsOfClass(const std::wstring &windowClass) const;

    /// The first visible top-level window for which `wanted` holds, once there is
    /// one. Throws Timeout, naming `what`.
    HWND waitForWindow(const std::function<bool(HWND)> &wanted, const std::string &what) const;
    HWND waitForOpenDialog() const;
    MessageBoxView waitForMessageBox() const;

    /// Waits for the program to end; returns its exit code. Throws Timeout.
    DWORD waitForExit() const;
    bool running() const;

private:
    std::string describeWindows() const;

    ChildProcess m_process;
    HWND m_mainWindow = nullptr;
};

} // namespace varnholt::window_tests
