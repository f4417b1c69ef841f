#pragma once
#include "base/Geometry.h"

#include <cstdint>

namespace pagelet {

class ImageStrip;

// One tappable picture button of the skin.
class SkinElement {
public:
    SkinElement(const Rect& rect, const ImageStrip* strip, int cell, int command)
        : strip(strip), cell(cell), rect(rect), command(command)
    {
    }
    virtual ~SkinElement() = default;

    const ImageStrip* strip = nullptr;
    std::int32_t cell = 0;
    Rect rect;
    std::int32_t command = -1;
    std::intptr_t wParam = -1; // the voice memo button's refers to its own rect
    std::intptr_t lParam = -1;
    bool enabled = true;
};

} // namespace pagelet
