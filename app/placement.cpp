#include "placement.h"

#include <algorithm>

QPoint centredOnScreen(QSize screen, QSize outer)
{
    return { (screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2 };
}

QPoint aboutWindowPlace(const QRect &mainFrame, QSize outer)
{
    const int left = mainFrame.left() + (mainFrame.width() - outer.width()) / 2;
    const int top = mainFrame.top() + (mainFrame.height() - outer.height()) / 2;
    return { left < 0 ? 0 : left, top < 0 ? 0 : top };
}

QPoint messageBoxPlace(std::optional<QPoint> at, QSize box, const QRect &screen)
{
    const QPoint centred = screen.topLeft() + centredOnScreen(screen.size(), box);
    if (!at)
        return centred;
    return { at->x() < 0 ? centred.x() : at->x(), at->y() < 0 ? centred.y() : at->y() };
}

QPoint helpWindowPlace(const QRect &mainFrame, QSize help, const QRect &screen)
{
    const int screenRight = screen.left() + screen.width();
    const int screenBottom = screen.top() + screen.height();
    const int rightOfMain = mainFrame.left() + mainFrame.width();
    QPoint place;
    if (rightOfMain + help.width() <= screenRight)
        place = { rightOfMain, mainFrame.top() };
    else if (mainFrame.left() - help.width() >= screen.left())
        place = { mainFrame.left() - help.width(), mainFrame.top() };
    else
        place = screen.topLeft() + centredOnScreen(screen.size(), help);
    // The far edges first, so that a window larger than the screen ends at its top-left corner.
    return { std::max(screen.left(), std::min(place.x(), screenRight - help.width())),
        std::max(screen.top(), std::min(place.y(), screenBottom - help.height())) };
}
