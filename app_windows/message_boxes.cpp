#include "message_boxes.h"

#include "placement.h"
#include "wide_text.h"

#include <vector>

namespace varnholt::windows_app {

namespace {

    /// Where the next message box of this thread goes; set while one is being opened.
    thread_local const std::optional<Point> *pendingPlace = nullptr;

    bool isDialogBox(HWND window)
    {
        wchar_t className[16] {};
        return ::GetClassNameW(window, className, 16) > 0
            && std::wstring_view(className) == L"#32770";
    }

    /// Moves the message box once it has laid itself out, before it is shown:
    /// MessageBoxW itself has no say in where the box goes.
    LRESULT CALLBACK placeAfterLayout(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto *call = reinterpret_cast<const CWPRETSTRUCT *>(lParam);
        if (code == HC_ACTION && call->message == WM_INITDIALOG && pendingPlace
            && isDialogBox(call->hwnd)) {
            RECT frame {};
            ::GetWindowRect(call->hwnd, &frame);
            const Rect screen { 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                ::GetSystemMetrics(SM_CYSCREEN) };
            const Point place = messageBoxPlace(
                *pendingPlace, { frame.right - frame.left, frame.bottom - frame.top }, screen);
            ::SetWindowPos(call->hwnd, nullptr, place.x, place.y, 0, 0,
                SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            pendingPlace = nullptr;
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    /// The thread's hook for one message box, removed when it goes.
    class PlacingHook {
    public:
        explicit PlacingHook(const std::optional<Point> &place)
            : m_hook(::SetWindowsHookExW(
                WH_CALLWNDPROCRET, placeAfterLayout, nullptr, ::GetCurrentThreadId()))
        {
            pendingPlace = &place;
        }
        ~PlacingHook()
        {
            pendingPlace = nullptr;
            if (m_hook)
                ::UnhookWindowsHookEx(m_hook);
        }
        PlacingHook(const PlacingHook &) = delete;
        PlacingHook &operator=(const PlacingHook &) = delete;

    private:
        HHOOK m_hook;
    };

} // namespace

OtherWindowsDisabled::OtherWindowsDisabled(HWND owner)
    : m_owner(owner)
{
    ::EnumThreadWindows(::GetCurrentThreadId(), disable, reinterpret_cast<LPARAM>(this));
}

OtherWindowsDisabled::~OtherWindowsDisabled()
{
    for (HWND window : m_disabled)
        ::EnableWindow(window, TRUE);
}

BOOL CALLBACK OtherWindowsDisabled::disable(HWND window, LPARAM self)
{
    auto &state = *reinterpret_cast<OtherWindowsDisabled *>(self);
    if (window != state.m_owner && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        ::EnableWindow(window, FALSE);
        state.m_disabled.push_back(window);
    }
    return TRUE;
}

void showMessageBox(HWND owner,
    BoxIcon icon,
    std::string_view caption,
    std::string_view text,
    std::optional<Point> at)
{
    const std::wstring wideCaption = wideText(caption);
    const std::wstring wideMessage = wideText(text);
    const UINT style = MB_OK | (icon == BoxIcon::Stop ? MB_ICONSTOP : 0U);
    OtherWindowsDisabled others(owner);
    PlacingHook hook(at);
    ::MessageBoxW(owner, wideMessage.c_str(), wideCaption.c_str(), style);
}

} // namespace varnholt::windows_app
