#include "Unit1.h"

#include "about_window.h"
#include "application.h"
#include "application_rules.h"
#include "html_help.h"
#include "placement.h"
#include "wide_text.h"
#include "window_design.h"

#include <algorithm>
#include <shellapi.h>
#include <stdexcept>

namespace varnholt::windows_app {

namespace {

    /// Posted to the main window when files wait to be opened.
    constexpr UINT openWaitingFilesMessage = WM_APP + 1;

    void appendItem(HMENU menu, unsigned id, std::string_view caption)
    {
        const std::wstring text = wideText(caption);
        ::AppendMenuW(menu, MF_STRING, id, text.c_str());
    }

} // namespace

TMainForm::TMainForm(HINSTANCE instance)
    : m_instance(instance)
{
    registerWindowClass(
        instance, mainWindowClass, windowProcedure, ::GetSysColorBrush(COLOR_BTNFACE));

    MainMenu1 = ::CreateMenu();
    File1 = ::CreatePopupMenu();
    appendItem(File1, LoadCSVfile1, loadCommandCaption);
    appendItem(File1, Renumber, renumberCommandCaption);
    appendItem(File1, FiveDigit, fiveDigitCommandCaption);
    ::AppendMenuW(File1, MF_SEPARATOR, 0, nullptr);
    appendItem(File1, Close1, closeCommandCaption);
    const std::wstring fileCaption = wideText(fileMenuCaption);
    ::AppendMenuW(MainMenu1, MF_POPUP, reinterpret_cast<UINT_PTR>(File1), fileCaption.c_str());
    appendItem(MainMenu1, Help1, helpCommandCaption);
    appendItem(MainMenu1, About, aboutCommandCaption);

    // Built hidden at its outer size; FormCreate places it.
    m_window = ::CreateWindowExW(WS_EX_ACCEPTFILES, mainWindowClass, L"", WS_OVERLAPPEDWINDOW,
        CW_USEDEFAULT, CW_USEDEFAULT, mainWindowSize.width, mainWindowSize.height, nullptr,
        MainMenu1, instance, this);
    if (!m_window) {
        const DWORD error = ::GetLastError();
        ::DestroyMenu(MainMenu1);
        throw std::runtime_error(systemErrorText(error));
    }

    storedpic = static_cast<HICON>(
        ::LoadImageW(instance, L"MAINICON", IMAGE_ICON, 64, 64, LR_DEFAULTCOLOR));
    LoadDlg = std::make_unique<FileOpenDialog>(m_window);
    m_host = std::make_unique<WindowHost>(m_window, *LoadDlg);
    FormCreate();
}

TMainForm::~TMainForm()
{
    if (m_window && ::IsWindow(m_window))
        ::DestroyWindow(m_window);
    if (storedpic)
        ::DestroyIcon(storedpic);
}

void TMainForm::FormCreate()
{
    // The conversion state got its start values with m_conversion.
    const Point place = centredOnScreen(
        { ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN) }, mainWindowSize);
    // Moving it into the always-on-top layer and sending it to the back takes
    // it out again: an ordinary window.
    ::SetWindowPos(m_window, HWND_TOPMOST, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowPos(m_window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TMainForm::FormActivate()
{
    const std::wstring caption = wideText(mainWindowCaption());
    ::SetWindowTextW(m_window, caption.c_str());
}

void TMainForm::LoadCSVfile1Click() { loadCommand().loadCSVfile(); }

void TMainForm::RenumberClick() { loadCommand().loadAndRenumber(); }

void TMainForm::FiveDigitClick() { loadCommand().loadWithFiveDigitNumbers(); }

void TMainForm::Close1Click() { ::SendMessageW(m_window, WM_CLOSE, 0, 0); }

void TMainForm::Help1Click() { showHtmlHelp(m_window, "VARNHOLT.chm"); }

void TMainForm::AboutClick() { showAboutWindow(m_instance, m_window, storedpic); }

LoadCommand TMainForm::loadCommand() { return { m_conversion, *m_host }; }

void TMainForm::openFiles(std::vector<std::string> paths)
{
    m_queue.addFiles(std::move(paths));
    startOpeningFiles();
}

void TMainForm::startOpeningFiles()
{
    if (m_window && m_queue.startOpening())
        ::PostMessageW(m_window, openWaitingFilesMessage, 0, 0);
}

void TMainForm::openWaitingFiles()
{
    m_queue.openWaitingFiles([this](const std::string &path) {
        runHandler([&] { loadCommand().loadChosenFile(path); });
    });
}

void TMainForm::command(unsigned id)
{
    // One command at a time: the window takes no other command while one runs,
    // whatever reaches it through the message loops of the command's dialog and boxes.
    m_queue.runCommand([this, id] {
        switch (id) {
        case LoadCSVfile1:
            LoadCSVfile1Click();
            break;
        case Renumber:
            RenumberClick();
            break;
        case FiveDigit:
            FiveDigitClick();
            break;
        case Close1:
            Close1Click();
            break;
        case Help1:
            Help1Click();
            break;
        case About:
            AboutClick();
            break;
        default:
            break;
        }
    });
}

void TMainForm::dropFiles(HDROP drop)
{
    std::vector<std::string> paths;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1U, L'\0');
        path.resize(::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(utf8Text(path));
    }
    ::DragFinish(drop);
    // Only CSV and text files are taken; a drop that holds anything else is passed over whole.
    if (std::all_of(paths.begin(), paths.end(),
            [](const std::string &path) { return isLoadableFileName(path); }))
        openFiles(std::move(paths));
}

LRESULT CALLBACK TMainForm::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *form
            = static_cast<TMainForm *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        form->m_window = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto *form = reinterpret_cast<TMainForm *>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form)
        return ::DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    runHandler([&] { result = form->handleMessage(message, wParam, lParam); });
    return result;
}

LRESULT TMainForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = m_window;
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            FormActivate();
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && lParam == 0) {
            command(LOWORD(wParam));
            // Files that arrived meanwhile run now.
            startOpeningFiles();
            return 0;
        }
        break;
    case WM_DROPFILES:
        dropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case openWaitingFilesMessage:
        openWaitingFiles();
        return 0;
    case WM_DESTROY:
        closeHtmlHelp();
        ::PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        m_window = nullptr;
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace varnholt::windows_app
