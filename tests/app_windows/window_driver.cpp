#include "window_driver.h"

#include "wide_text.h"

#include <dlgs.h>
#include <thread>

namespace varnholt::window_tests {

namespace {

    using Clock = std::chrono::steady_clock;
    constexpr auto pollInterval = std::chrono::milliseconds(50);
    // A window that answers no message within this long is taken as hung.
    constexpr UINT answerLimitMs = 5000;

    LRESULT sendWithLimit(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(
                window, message, wParam, lParam, SMTO_ABORTIFHUNG, answerLimitMs, &result))
            throw Timeout("a window did not answer message " + std::to_string(message));
        return static_cast<LRESULT>(result);
    }

    std::wstring quoted(const std::wstring &argument) { return L'"' + argument + L'"'; }

    PROCESS_INFORMATION start(const std::filesystem::path &program,
        const std::vector<std::wstring> &arguments,
        const std::filesystem::path &workingFolder)
    {
        std::wstring commandLine = quoted(program.wstring());
        for (const std::wstring &argument : arguments)
            commandLine += L' ' + quoted(argument);
        const std::wstring folder
            = (workingFolder.empty() ? program.parent_path() : workingFolder).wstring();
        STARTUPINFOW startup {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started {};
        if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                nullptr, folder.c_str(), &startup, &started))
            throw std::runtime_error("cannot start " + utf8Text(program.wstring()) + ": error "
                + std::to_string(::GetLastError()));
        return started;
    }

    DWORD processOf(HWND window)
    {
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        return process;
    }

    struct WindowSearch {
        DWORD process;
        std::vector<HWND> found;
    };

    BOOL CALLBACK collect(HWND window, LPARAM search)
    {
        auto &wanted = *reinterpret_cast<WindowSearch *>(search);
        if (processOf(window) == wanted.process)
            wanted.found.push_back(window);
        return TRUE;
    }

    std::vector<HWND> topLevelWindowsOf(DWORD process)
    {
        WindowSearch search { process, {} };
        ::EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    std::vector<HWND> childrenOf(HWND window)
    {
        std::vector<HWND> children;
        for (HWND child = ::GetWindow(window, GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT))
            children.push_back(child);
        return children;
    }

    constexpr int messageTextId = 0xFFFF;

    HWND messageTextOf(HWND box)
    {
        for (HWND child : childrenOf(box)) {
            if (::GetDlgCtrlID(child) == messageTextId && className(child) == L"Static")
                return child;
        }
        return nullptr;
    }

    bool isDialog(HWND window) { return className(window) == L"#32770"; }

    HWND fileNameControl(HWND dialog)
    {
        HWND box = ::GetDlgItem(dialog, cmb13);
        return box ? box : ::GetDlgItem(dialog, edt1);
    }

    bool isMessageBox(HWND window)
    {
        return isDialog(window) && messageTextOf(window) && !fileNameControl(window);
    }

    // The control that holds the typed name: the Explorer-style dialog's name
    // box is a ComboBoxEx, whose edit control sits inside its combo box.
    HWND fileNameEdit(HWND dialog)
    {
        HWND box = fileNameControl(dialog);
        if (!box)
            throw std::runtime_error("the open dialog has no file-name box");
        HWND combo = ::FindWindowExW(box, nullptr, L"ComboBox", nullptr);
        HWND edit = ::FindWindowExW(combo ? combo : box, nullptr, L"Edit", nullptr);
        return edit ? edit : box;
    }

    template <class Condition> bool waitUntil(Condition condition)
    {
        const auto deadline = Clock::now() + timeLimit;
        while (!condition()) {
            if (Clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(pollInterval);
        }
        return true;
    }

    // The visible icon control holding an icon, if the box has one.
    HWND iconControlOf(HWND box)
    {
        for (HWND child : childrenOf(box)) {
            const auto style = static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE));
            if (className(child) == L"Static" && (style & SS_TYPEMASK) == SS_ICON
                && ::IsWindowVisible(child) && sendWithLimit(child, STM_GETICON, 0, 0) != 0)
                return child;
        }
        return nullptr;
    }

    /// A picture of `width` x `height` pixels, 32 bits each, in memory.
    class Picture {
    public:
        Picture(int width, int height)
            : m_dc(::CreateCompatibleDC(nullptr))
            , m_pixelCount(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        {
            BITMAPINFO format {};
            format.bmiHeader.biSize = sizeof format.bmiHeader;
            format.bmiHeader.biWidth = width;
            format.bmiHeader.biHeight = -height;
            format.bmiHeader.biPlanes = 1;
            format.bmiHeader.biBitCount = 32;
            void *bits = nullptr;
            m_bitmap = ::CreateDIBSection(m_dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
            m_pixels = static_cast<DWORD *>(bits);
            m_previous = ::SelectObject(m_dc, m_bitmap);
        }
        ~Picture()
        {
            ::SelectObject(m_dc, m_previous);
            ::DeleteObject(m_bitmap);
            ::DeleteDC(m_dc);
        }
        Picture(const Picture &) = delete;
        Picture &operator=(const Picture &) = delete;

        HDC dc() const { return m_dc; }
        /// The colours, without the unused fourth byte.
        std::vector<DWORD> colours() const
        {
            ::GdiFlush();
            std::vector<DWORD> colours(m_pixels, m_pixels + m_pixelCount);
            for (DWORD &colour : colours)
                colour &= 0xFFFFFF;
            return colours;
        }
        void fill(DWORD colour)
        {
            ::GdiFlush();
            std::fill(m_pixels, m_pixels + m_pixelCount, colour);
        }

    private:
        HDC m_dc;
        std::size_t m_pixelCount;
        HBITMAP m_bitmap = nullptr;
        DWORD *m_pixels = nullptr;
        HGDIOBJ m_previous = nullptr;
    };

    // The icon on the screen is compared with each system icon drawn at its size
    // on the colour its corner shows (the icons' corners are transparent).
    BoxIcon iconShownBy(HWND control)
    {
        RECT place {};
        ::GetWindowRect(control, &place);
        const int width = place.right - place.left;
        const int height = place.bottom - place.top;
        Picture shown(width, height);
        Picture drawn(width, height);
        const struct {
            BoxIcon icon;
            WORD id;
        } systemIcons[] = {
            { BoxIcon::stop, 32513 }, // IDI_HAND
            { BoxIcon::question, 32514 }, // IDI_QUESTION
            { BoxIcon::exclamation, 32515 }, // IDI_EXCLAMATION
            { BoxIcon::information, 32516 }, // IDI_ASTERISK
        };
        BoxIcon found = BoxIcon::unknown;
        // The box may not have painted yet.
        waitUntil([&] {
            HDC screen = ::GetDC(nullptr);
            ::BitBlt(shown.dc(), 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
            ::ReleaseDC(nullptr, screen);
            const std::vector<DWORD> onScreen = shown.colours();
            for (const auto &candidate : systemIcons) {
                drawn.fill(onScreen.front());
                ::DrawIconEx(drawn.dc(), 0, 0, ::LoadIconW(nullptr, MAKEINTRESOURCEW(candidate.id)),
                    width, height, 0, nullptr, DI_NORMAL);
                if (drawn.colours() == onScreen) {
                    found = candidate.icon;
                    return true;
                }
            }
            return false;
        });
        return found;
    }

    BoxIcon iconOf(HWND box)
    {
        HWND control = iconControlOf(box);
        return control ? iconShownBy(control) : BoxIcon::none;
    }

} // namespace

std::string toString(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::none:
        return "no icon";
    case BoxIcon::stop:
        return "the stop icon";
    case BoxIcon::question:
        return "the question icon";
    case BoxIcon::exclamation:
        return "the exclamation icon";
    case BoxIcon::information:
        return "the information icon";
    case BoxIcon::unknown:
        break;
    }
    return "an icon not the system's";
}

std::filesystem::path hostPath(std::string_view path)
{
    std::wstring windowsPath = wideText(path);
    if (windowsPath.starts_with(L'/')) {
        windowsPath.insert(0, L"Z:");
        for (wchar_t &c : windowsPath) {
            if (c == L'/')
                c = L'\\';
        }
    }
    return windowsPath;
}

std::wstring className(HWND window)
{
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

std::wstring windowText(HWND window)
{
    const auto length = static_cast<std::size_t>(sendWithLimit(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    const auto copied = static_cast<std::size_t>(
        sendWithLimit(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(std::min(copied, length));
    return text;
}

RECT frameOf(HWND window)
{
    RECT frame {};
    ::GetWindowRect(window, &frame);
    return frame;
}

void press(HWND dialog, int button)
{
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
        reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
    if (!waitUntil([dialog] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }))
        throw Timeout("the dialog '" + utf8Text(windowText(dialog)) + "' stayed after button "
            + std::to_string(button));
}

std::wstring fileNameIn(HWND openDialog) { return windowText(fileNameEdit(openDialog)); }

void chooseFile(HWND openDialog, const std::filesystem::path &name)
{
    const std::wstring text = name.wstring();
    sendWithLimit(fileNameEdit(openDialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    press(openDialog, IDOK);
}

ChildProcess::ChildProcess(const PROCESS_INFORMATION &started)
    : m_info(started)
{
}

ChildProcess::~ChildProcess()
{
    if (::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(m_info.hProcess, 1);
        ::WaitForSingleObject(m_info.hProcess, answerLimitMs);
    }
    ::CloseHandle(m_info.hThread);
    ::CloseHandle(m_info.hProcess);
}

RunningProgram::RunningProgram(const std::filesystem::path &program,
    const std::vector<std::wstring> &arguments,
    const std::filesystem::path &workingFolder)
    : m_process(start(program, arguments, workingFolder))
{
    m_mainWindow = waitForWindow(
        [](HWND window) { return className(window) == windows_app::mainWindowClass; },
        "the main window");
}

void RunningProgram::command(windows_app::Command command) const
{
    ::PostMessageW(m_mainWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

std::vector<HWND> RunningProgram::windows() const
{
    std::vector<HWND> visible;
    for (HWND window : topLevelWindowsOf(m_process.id())) {
        if (::IsWindowVisible(window))
            visible.push_back(window);
    }
    return visible;
}

std::vector<HWND> RunningProgram::windowsOfClass(const std::wstring &windowClass) const
{
    std::vector<HWND> found;
    for (HWND window : topLevelWindowsOf(m_process.id())) {
        if (className(window) == windowClass)
            found.push_back(window);
    }
    return found;
}

HWND RunningProgram::waitForWindow(
    const std::function<bool(HWND)> &wanted, const std::string &what) const
{
    HWND found = nullptr;
    const bool came = waitUntil([&] {
        if (!running())
            return true;
        for (HWND window : windows()) {
            if (wanted(window)) {
                found = window;
                return true;
            }
        }
        return false;
    });
    if (!found) {
        DWORD exitCode = 0;
        ::GetExitCodeProcess(m_process.handle(), &exitCode);
        throw Timeout("no " + what
            + (came ? " before the program ended (exit code " + std::to_string(exitCode) + ")"
                    : " within " + std::to_string(timeLimit.count()) + " ms")
            + "; its windows: " + describeWindows());
    }
    return found;
}

HWND RunningProgram::waitForOpenDialog() const
{
    return waitForWindow(
        [](HWND window) { return isDialog(window) && fileNameControl(window); }, "open dialog");
}

MessageBoxView RunningProgram::waitForMessageBox() const
{
    HWND box = waitForWindow(isMessageBox, "message box");
    return { box, windowText(box), windowText(messageTextOf(box)), frameOf(box), iconOf(box) };
}

DWORD RunningProgram::waitForExit() const
{
    if (::WaitForSingleObject(m_process.handle(), static_cast<DWORD>(timeLimit.count()))
        != WAIT_OBJECT_0)
        throw Timeout("the program did not end; its windows: " + describeWindows());
    DWORD exitCode = 0;
    ::GetExitCodeProcess(m_process.handle(), &exitCode);
    return exitCode;
}

bool RunningProgram::running() const
{
    return ::WaitForSingleObject(m_process.handle(), 0) == WAIT_TIMEOUT;
}

std::string RunningProgram::describeWindows() const
{
    std::string description;
    for (HWND window : windows()) {
        description += (description.empty() ? "" : ", ") + utf8Text(className(window)) + " '"
            + utf8Text(windowText(window)) + "'";
        if (HWND text = messageTextOf(window))
            description += " saying '" + utf8Text(windowText(text)) + "'";
    }
    return description.empty() ? "none" : description;
}

} // namespace varnholt::window_tests
