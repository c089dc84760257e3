#include "placement.h"

#include <algorithm>

namespace varnholt {

Point centredOnScreen(Size screen, Size outer)
{
    return { (screen.width - outer.width) / 2, (screen.height - outer.height) / 2 };
}

Point aboutWindowPlace(Rect mainFrame, Size outer)
{
    const int left = mainFrame.left + (mainFrame.width - outer.width) / 2;
    const int top = mainFrame.top + (mainFrame.height - outer.height) / 2;
    return { left < 0 ? 0 : left, top < 0 ? 0 : top };
}

Point messageBoxPlace(std::optional<Point> at, Size box, Rect screen)
{
    const Point offset = centredOnScreen(screen.size(), box);
    const Point centred { screen.left + offset.x, screen.top + offset.y };
    if (!at)
        return centred;
    return { at->x < 0 ? centred.x : at->x, at->y < 0 ? centred.y : at->y };
}

Point helpWindowPlace(Rect mainFrame, Size help, Rect screen)
{
    const int screenRight = screen.left + screen.width;
    const int screenBottom = screen.top + screen.height;
    const int rightOfMain = mainFrame.left + mainFrame.width;
    Point place;
    if (rightOfMain + help.width <= screenRight) {
        place = { rightOfMain, mainFrame.top };
    } else if (mainFrame.left - help.width >= screen.left) {
        place = { mainFrame.left - help.width, mainFrame.top };
    } else {
        const Point offset = centredOnScreen(screen.size(), help);
        place = { screen.left + offset.x, screen.top + offset.y };
    }
    // The far edges first, so that a window larger than the screen ends at its top-left corner.
    return { std::max(screen.left, std::min(place.x, screenRight - help.width)),
        std::max(screen.top, std::min(place.y, screenBottom - help.height)) };
}

} // namespace varnholt
