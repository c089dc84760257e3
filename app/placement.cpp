#include "placement.h"

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
