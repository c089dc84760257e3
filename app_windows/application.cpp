#include "application.h"

#include "Unit1.h"
#include "about_window.h"
#include "application_rules.h"
#include "file_io.h"
#include "message_boxes.h"
#include "wide_text.h"
#include "window_design.h"

#include <climits>
#include <commctrl.h>
#include <memory>
#include <shellapi.h>
#include <stdexcept>
#include <vector>

namespace varnholt::windows_app {

namespace {

    std::string systemLowerCase(std::string_view text)
    {
        std::wstring wide = wideText(text);
        if (!wide.empty())
            ::CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
        return utf8Text(wide);
    }

    /// A path as the file dialog gives it: full, from the current folder.
    std::string fullPath(const std::wstring &path)
    {
        if (path.empty())
            return {};
        const DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
        if (size == 0)
            return utf8Text(path);
        std::wstring full(size, L'\0');
        const DWORD length = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
        full.resize(length < size ? length : 0);
        return utf8Text(full.empty() ? path : full);
    }

    /// The files the command line names after the program's name.
    std::vector<std::string> commandLineFiles()
    {
        int count = 0;
        std::unique_ptr<LPWSTR, decltype(&::LocalFree)> arguments(
            ::CommandLineToArgvW(::GetCommandLineW(), &count), &::LocalFree);
        std::vector<std::string> files;
        if (!arguments)
            return files;
        for (int i = 1; i < count; ++i)
            files.push_back(fullPath(arguments.get()[i]));
        return files;
    }

} // namespace

std::wstring programFile()
{
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length
            = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0)
            return {};
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(name.size() * 2);
    }
}

std::wstring programFolder()
{
    const std::wstring file = programFile();
    const std::size_t folderEnd = file.find_last_of(L"\\/");
    return folderEnd == std::wstring::npos ? std::wstring() : file.substr(0, folderEnd);
}

std::string applicationTitleFor(std::wstring_view programPath)
{
    return varnholt::applicationTitleFor(utf8Text(programPath), systemLowerCase);
}

const std::string &applicationTitle()
{
    static const std::string title = applicationTitleFor(programFile());
    return title;
}

void showErrorBox(std::string_view message)
{
    showMessageBox(
        ::GetActiveWindow(), BoxIcon::Stop, applicationTitle(), withClosingFullStop(message));
}

void showErrorBox(const std::exception_ptr &error) noexcept
{
    try {
        showMessageBox(::GetActiveWindow(), BoxIcon::Stop, applicationTitle(), errorBoxText(error));
    } catch (...) {
        // Not even the box could be shown (no memory left): nothing more to do.
    }
}

std::string systemErrorText(DWORD code)
{
    wchar_t *text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::unique_ptr<wchar_t, decltype(&::LocalFree)> owned(text, &::LocalFree);
    std::wstring_view message(text, length);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
        message.remove_suffix(1);
    if (message.empty())
        return "Windows error " + std::to_string(code);
    return utf8Text(message);
}

void registerWindowClass(
    HINSTANCE instance, const wchar_t *name, WNDPROC procedure, HBRUSH background)
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(::LoadImageW(instance, L"MAINICON", IMAGE_ICON,
        ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm = static_cast<HICON>(::LoadImageW(instance, L"MAINICON", IMAGE_ICON,
        ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error(systemErrorText(::GetLastError()));
}

int runApplication(HINSTANCE instance, int showCommand)
{
    try {
        // A full disk or a missing drive ends a run with the error box, never
        // with a box of the system's own.
        varnholt::reportFileLimitsAsErrors();
        INITCOMMONCONTROLSEX controls { sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES };
        ::InitCommonControlsEx(&controls);
        applicationTitle();
        registerAboutWindowClass(instance);

        TMainForm form(instance);
        ::ShowWindow(form.handle(), showCommand);
        ::UpdateWindow(form.handle());
        form.openFiles(commandLineFiles());

        MSG message {};
        BOOL got = 0;
        while ((got = ::GetMessageW(&message, nullptr, 0, 0)) > 0) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        return got < 0 ? 1 : static_cast<int>(message.wParam);
    } catch (...) {
        showErrorBox(std::current_exception());
        return 1;
    }
}

} // namespace varnholt::windows_app
