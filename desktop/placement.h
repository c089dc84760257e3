#pragma once

#include "geometry.h"

#include <optional>

namespace varnholt {

/// Window placement arithmetic. Every quotient is truncated toward zero, as C++
/// integer division does; sizes are outer sizes, frame included.

/// Top-left corner that centres a window of `outer` size on a screen of `screen`
/// size. Not limited: a window larger than the screen gets a negative coordinate
/// (383 wide on a 300-pixel screen gives -41).
Point centredOnScreen(Size screen, Size outer);

/// Top-left corner of an About window of `outer` size centred on the main window
/// whose frame is `mainFrame`; a negative coordinate becomes 0.
Point aboutWindowPlace(Rect mainFrame, Size outer);

/// Top-left corner of a message box of `box` size that goes to `at` on `screen`.
/// Along an axis where `at` is negative, or when there is no `at`, the box is
/// centred on the screen instead.
Point messageBoxPlace(std::optional<Point> at, Size box, Rect screen);

/// Top-left corner of a help window of `help` outer size opened from the main
/// window whose frame is `mainFrame`, on a screen whose available area is
/// `screen`. The help window goes beside the main window, tops level: to its
/// right where the screen has room for it, else to its left, else centred on
/// the screen. It is then moved as little as needed to lie wholly on the screen;
/// one larger than the screen gets the screen's top-left corner.
Point helpWindowPlace(Rect mainFrame, Size help, Rect screen);

} // namespace varnholt
