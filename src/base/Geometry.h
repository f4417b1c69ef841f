#pragma once
#include <cstdint>

namespace pagelet {

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Right and bottom are exclusive.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(std::int32_t x, std::int32_t y) const
    {
        return left <= x && x < right && top <= y && y < bottom;
    }
    Rect inflated(std::int32_t d) const { return {left - d, top - d, right + d, bottom + d}; }
    Rect movedTo(std::int32_t x, std::int32_t y) const { return {x, y, x + width(), y + height()}; }
    Point topLeft() const { return {left, top}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

} // namespace pagelet
