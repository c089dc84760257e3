#pragma once

// Between the desktop rules' plain types and Qt's.

#include "geometry.h"
#include "window_design.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <string_view>

inline QPoint toQPoint(varnholt::Point point) { return { point.x, point.y }; }

inline varnholt::Point toPoint(QPoint point) { return { point.x(), point.y() }; }

inline QSize toQSize(varnholt::Size size) { return { size.width, size.height }; }

inline varnholt::Size toSize(QSize size) { return { size.width(), size.height() }; }

inline QRect toQRect(varnholt::Rect rect)
{
    return { rect.left, rect.top, rect.width, rect.height };
}

inline varnholt::Rect toRect(const QRect &rect)
{
    return { rect.left(), rect.top(), rect.width(), rect.height() };
}

/// UTF-8 text as a QString.
inline QString toQString(std::string_view text) { return QString::fromUtf8(text); }

inline QColor toQColor(varnholt::Colour colour)
{
    return { colour.red, colour.green, colour.blue };
}

/// The font `design` describes.
inline QFont toQFont(const varnholt::FontDesign &design)
{
    QFont font(toQString(design.family), design.points, design.bold ? QFont::Bold : QFont::Normal,
        design.italic);
    font.setUnderline(design.underlined);
    return font;
}
