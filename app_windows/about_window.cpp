#include "about_window.h"

#include "application.h"
#include "commands.h"
#include "placement.h"
#include "wide_text.h"
#include "window_design.h"

#include <memory>
#include <shlwapi.h>
#include <stdexcept>
#include <string>

namespace varnholt::windows_app {

namespace {

    constexpr COLORREF colourRef(Colour colour)
    {
        return RGB(colour.red, colour.green, colour.blue);
    }

    const COLORREF windowGrey = colourRef(about::windowGrey);
    const COLORREF outlineGrey = colourRef(about::outlineGrey);

    HBRUSH greyBrush()
    {
        static const HBRUSH brush = ::CreateSolidBrush(windowGrey);
        return brush;
    }

    /// A GDI font, deleted when it goes.
    struct FontDeleter {
        void operator()(HFONT font) const noexcept { ::DeleteObject(font); }
    };
    using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

    /// The font `design` describes, sized by the screen's pixels per inch.
    Font fontOf(const FontDesign &design)
    {
        HDC screen = ::GetDC(nullptr);
        const int pixelsPerInch = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
        const std::wstring family = wideText(design.family);
        return Font(::CreateFontW(-::MulDiv(design.points, pixelsPerInch, 72), 0, 0, 0,
            design.bold ? FW_BOLD : FW_NORMAL, design.italic ? TRUE : FALSE,
            design.underlined ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, family.c_str()));
    }

    /// What one About window holds: its fonts and the icon it draws.
    struct AboutState {
        HICON icon = nullptr;
        Font font = fontOf(about::textFont);
        Font titleFont = fontOf(about::titleFont);
        Font creditsFont = fontOf(about::creditsFont);
    };

    SIZE textSize(HWND window, HFONT font, const std::wstring &text)
    {
        HDC context = ::GetDC(window);
        const HGDIOBJ previous = ::SelectObject(context, font);
        SIZE size {};
        ::GetTextExtentPoint32W(context, text.c_str(), static_cast<int>(text.size()), &size);
        ::SelectObject(context, previous);
        ::ReleaseDC(window, context);
        return size;
    }

    /// A one-line label sized to its text.
    HWND addLabel(HWND window, HFONT font, std::string_view text, Point at)
    {
        const std::wstring wide = wideText(text);
        const SIZE size = textSize(window, font, wide);
        HWND label = ::CreateWindowExW(0, L"STATIC", wide.c_str(),
            WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, at.x, at.y, size.cx, size.cy,
            window, nullptr,
            reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window, GWLP_HINSTANCE)), nullptr);
        ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return label;
    }

    /// The description with the system's line ends, which a label breaks at.
    std::wstring withSystemLineEnds(std::string_view text)
    {
        std::wstring lines;
        for (const wchar_t c : wideText(text)) {
            if (c == L'\n')
                lines += L'\r';
            lines += c;
        }
        return lines;
    }

    /// `folder` shortened in its middle ("C:\\...\\Varnholt") to at most `width`
    /// pixels in `font`, so that the README row ends inside the frame.
    std::string shortenedFolder(HWND window, HFONT font, std::wstring folder, int width)
    {
        folder.resize(folder.size() + MAX_PATH, L'\0');
        HDC context = ::GetDC(window);
        const HGDIOBJ previous = ::SelectObject(context, font);
        ::PathCompactPathW(context, folder.data(), static_cast<UINT>(width > 0 ? width : 0));
        ::SelectObject(context, previous);
        ::ReleaseDC(window, context);
        folder.resize(folder.find(L'\0'));
        return utf8Text(folder);
    }

    void addContent(HWND window, AboutState &state)
    {
        namespace about = varnholt::about;
        // Items 1 and 2, the frame rectangle and the icon, are drawn by the
        // window itself, under the labels.
        addLabel(window, state.titleFont.get(), programName, about::titlePlace);
        addLabel(window, state.font.get(), about::versionRow(),
            { about::rowLeft, about::versionRowTop });
        addLabel(window, state.font.get(), about::dateRow, { about::rowLeft, about::dateRowTop });
        addLabel(
            window, state.font.get(), about::authorRow, { about::rowLeft, about::authorRowTop });
        const std::string readme = std::string(about::readmeRowLead)
            + shortenedFolder(window, state.font.get(), programFolder(),
                about::rowRight - about::rowLeft
                    - textSize(window, state.font.get(), wideText(about::readmeRowLead)).cx);
        addLabel(window, state.font.get(), readme, { about::rowLeft, about::readmeRowTop });
        addLabel(window, state.creditsFont.get(), about::creditsRow,
            { about::rowLeft, about::creditsRowTop });

        const Rect box = about::descriptionBox;
        HWND description
            = ::CreateWindowExW(0, L"STATIC", withSystemLineEnds(about::description).c_str(),
                WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, box.left, box.top, box.width,
                box.height, window, nullptr,
                reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window, GWLP_HINSTANCE)), nullptr);
        ::SendMessageW(description, WM_SETFONT, reinterpret_cast<WPARAM>(state.font.get()), FALSE);
    }

    void paint(HWND window, const AboutState &state)
    {
        namespace about = varnholt::about;
        PAINTSTRUCT paintStruct {};
        HDC context = ::BeginPaint(window, &paintStruct);
        const Rect frame = about::frameRectangle;
        const RECT outer { frame.left, frame.top, frame.left + frame.width,
            frame.top + frame.height };
        HBRUSH outline = ::CreateSolidBrush(outlineGrey);
        ::FillRect(context, &outer, outline);
        ::DeleteObject(outline);
        const RECT inner { outer.left + about::frameOutline, outer.top + about::frameOutline,
            outer.right - about::frameOutline, outer.bottom - about::frameOutline };
        ::FillRect(context, &inner, greyBrush());
        if (state.icon)
            ::DrawIconEx(context, about::iconBox.left, about::iconBox.top, state.icon, 0, 0, 0,
                nullptr, DI_NORMAL);
        ::EndPaint(window, &paintStruct);
    }

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto *state = reinterpret_cast<AboutState *>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        switch (message) {
        case WM_PAINT:
            if (state) {
                paint(window, *state);
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC: {
            const auto context = reinterpret_cast<HDC>(wParam);
            ::SetBkColor(context, windowGrey);
            ::SetTextColor(context, ::GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(greyBrush());
        }
        case WM_CLOSE:
            // Closed, an About window is hidden, never shown again, and goes with its owner.
            ::ShowWindow(window, SW_HIDE);
            return 0;
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            delete state;
            break;
        default:
            break;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        LRESULT result = 0;
        runHandler([&] { result = handleMessage(window, message, wParam, lParam); });
        return result;
    }

} // namespace

void registerAboutWindowClass(HINSTANCE instance)
{
    registerWindowClass(instance, aboutWindowClass, windowProcedure, greyBrush());
}

HWND showAboutWindow(HINSTANCE instance, HWND owner, HICON icon)
{
    RECT mainFrame {};
    ::GetWindowRect(owner, &mainFrame);
    const Point place
        = aboutWindowPlace({ mainFrame.left, mainFrame.top, mainFrame.right - mainFrame.left,
                               mainFrame.bottom - mainFrame.top },
            aboutWindowSize);

    auto state = std::make_unique<AboutState>();
    state->icon = icon;
    const std::wstring caption = wideText(aboutWindowCaption);
    // A frame that can be resized, with the system menu and close button only:
    // no minimise or maximise button, no scroll bars.
    constexpr DWORD style = WS_OVERLAPPEDWINDOW & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    HWND window = ::CreateWindowExW(0, aboutWindowClass, caption.c_str(), style | WS_CLIPCHILDREN,
        place.x, place.y, aboutWindowSize.width, aboutWindowSize.height, owner, nullptr, instance,
        nullptr);
    if (!window)
        throw std::runtime_error(systemErrorText(::GetLastError()));
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.get()));
    AboutState &content = *state.release();
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(content.font.get()), FALSE);
    addContent(window, content);
    ::ShowWindow(window, SW_SHOW);
    ::SetForegroundWindow(window);
    return window;
}

} // namespace varnholt::windows_app
