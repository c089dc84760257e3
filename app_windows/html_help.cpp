#include "html_help.h"

namespace varnholt::windows_app {

namespace {

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
    if (HtmlHelpFunction HtmlHelpA = htmlHelpA())
        HtmlHelpA(caller, file, 0, 0);
}

void closeHtmlHelp()
{
    if (loadedHtmlHelpA)
        loadedHtmlHelpA(nullptr, nullptr, closeAllCommand, 0);
}

} // namespace varnholt::windows_app
