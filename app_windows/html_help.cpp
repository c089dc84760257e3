#include "html_help.h"

#include "application.h"

#include <string>

namespace varnholt::windows_app {

namespace {

    /// While it lives, the current folder is the one the program lies in, where
    /// the viewer looks for a help file named without a folder, whatever folder
    /// the program was started in.
    class InProgramFolder {
    public:
        InProgramFolder()
        {
            const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
            m_previous.resize(size);
            m_previous.resize(::GetCurrentDirectoryW(size, m_previous.data()));
            const std::wstring folder = programFolder();
            if (!folder.empty())
                ::SetCurrentDirectoryW(folder.c_str());
        }
        ~InProgramFolder()
        {
            if (!m_previous.empty())
                ::SetCurrentDirectoryW(m_previous.c_str());
        }
        InProgramFolder(const InProgramFolder &) = delete;
        InProgramFolder &operator=(const InProgramFolder &) = delete;

    private:
        std::wstring m_previous;
    };

    using HtmlHelpFunction = HWND(WINAPI *)(HWND, LPCSTR, UINT, DWORD_PTR);

    /// HH_CLOSE_ALL: closes the viewer's windows.
    constexpr UINT closeAllCommand = 0x0012;

    HtmlHelpFunction loadedHtmlHelpA = nullptr;

    HtmlHelpFunction htmlHelpA()
    {
        if (!loadedHtmlHelpA) {
            if (HMODULE library = ::LoadLibraryW(L"hhctrl.ocx")) {
                // The library's exports have their own types; a cast through a
                // function pointer type without arguments is the usual way.
                loadedHtmlHelpA = reinterpret_cast<HtmlHelpFunction>(
                    reinterpret_cast<void (*)()>(::GetProcAddress(library, "HtmlHelpA")));
            }
        }
        return loadedHtmlHelpA;
    }

} // namespace

void showHtmlHelp(HWND caller, const char *file)
{
    if (HtmlHelpFunction HtmlHelpA = htmlHelpA()) {
        const InProgramFolder programFolder;
        HtmlHelpA(caller, file, 0, 0);
    }
}

void closeHtmlHelp()
{
    if (loadedHtmlHelpA)
        loadedHtmlHelpA(nullptr, nullptr, closeAllCommand, 0);
}

} // namespace varnholt::windows_app
