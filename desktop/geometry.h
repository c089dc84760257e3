#pragma once

namespace varnholt {

/// A point in screen or window coordinates, in pixels; y grows downwards.
struct Point {
    int x = 0;
    int y = 0;

    friend bool operator==(const Point &, const Point &) = default;
};

/// A width and a height in pixels.
struct Size {
    int width = 0;
    int height = 0;

    friend bool operator==(const Size &, const Size &) = default;
};

/// A rectangle given by its top-left corner and its size: a window's frame, a
/// screen, an item in a window.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    constexpr Point topLeft() const { return { left, top }; }
    constexpr Size size() const { return { width, height }; }

    friend bool operator==(const Rect &, const Rect &) = default;
};

} // namespace varnholt
