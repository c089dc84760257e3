#pragma once

#include "command_queue.h"
#include "commands.h"
#include "conversion.h"
#include "window_host.h"

#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace varnholt::windows_app {

/// The program's main window: a menu bar over an empty client area. It owns the
/// conversion state, which lives as long as the window, and every About window.
///
/// Every message reaches the window through one procedure, which runs the
/// handler and shows any error it throws in the application-level error box:
/// no error leaves the procedure.
class TMainForm {
public:
    /// Builds the window hidden and runs FormCreate: centred on the primary
    /// screen, conversion state at its start values.
    explicit TMainForm(HINSTANCE instance);
    ~TMainForm();
    TMainForm(const TMainForm &) = delete;
    TMainForm &operator=(const TMainForm &) = delete;

    HWND handle() const { return m_window; }
    Conversion &conversion() { return m_conversion; }

    // Components, in declaration order; the menu items are the command
    // identifiers of the same names.
    HMENU MainMenu1 = nullptr;
    std::unique_ptr<FileOpenDialog> LoadDlg;
    /// The program icon at its own size, for the About window.
    HICON storedpic = nullptr;
    HMENU File1 = nullptr;

    /// Places the window: centred on the primary screen by its outer size, not
    /// limited to the screen, and not kept above other windows.
    void FormCreate();
    /// Sets the caption; runs at every activation.
    void FormActivate();
    /// File > "Load CSV file": a conversion run with the numbers from the file.
    void LoadCSVfile1Click();
    /// File > "Load and Renumber": a conversion run with running numbers from 20001 on.
    void RenumberClick();
    /// File > "Load with Five-Digit Numbers": a conversion run that writes
    /// catalogue numbers 100000-119999 as five-digit stand-ins.
    void FiveDigitClick();
    /// File > "Close": closes the window, which ends the program.
    void Close1Click();
    /// "Help": opens the help file's default topic.
    void Help1Click();
    /// "About": builds and shows a new About window.
    void AboutClick();

    /// Runs "Load CSV file" on each of `paths` (full paths, UTF-8) in turn, as
    /// if each had been chosen in the file dialog, once the messages waiting
    /// now have been handled. Each file's box is closed before the next file
    /// runs; an error goes to the error box, and the next file runs all the
    /// same. Files handed over while others wait, or while a command runs, run
    /// after them.
    void openFiles(std::vector<std::string> paths);

private:
    static LRESULT CALLBACK windowProcedure(
        HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void command(unsigned id);
    void dropFiles(HDROP drop);
    LoadCommand loadCommand();
    void startOpeningFiles();
    void openWaitingFiles();

    HINSTANCE m_instance;
    HWND m_window = nullptr;
    Conversion m_conversion;
    std::unique_ptr<WindowHost> m_host;
    CommandQueue m_queue;
};

} // namespace varnholt::windows_app
