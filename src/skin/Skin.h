#pragma once
#include "base/Color.h"
#include "base/Geometry.h"
#include "platform/Graphics.h"
#include "skin/SkinElement.h"

#include <array>
#include <memory>
#include <vector>

namespace pagelet {

// The loaded skin: buttons, image strips, background and layout.
class Skin {
public:
    std::vector<std::unique_ptr<SkinElement>> elements;
    SkinElement* pressedElement = nullptr;
    std::unique_ptr<ImageStrip> etcStrip;
    std::unique_ptr<ImageStrip> numberStrip;
    std::unique_ptr<ImageStrip> weekdayStrip;
    std::unique_ptr<ImageStrip> weatherStrip;
    std::unique_ptr<ImageStrip> button1Strip;
    std::unique_ptr<ImageStrip> button2Strip;
    std::unique_ptr<Bitmap> background;
    Rect textArea;
    std::int32_t bandHeight = 0;
    std::array<Rect, 9> dateCells {};
    Rect calendarArea;
    Color editTextColor = 0x000000;
    Color viewTextColor = 0x707070;

    // The first element that sends command, or nothing.
    SkinElement* findElement(int command) const;
    void AddSkinElement(const Rect& rect, const ImageStrip* strip, int cell, int command);
    void DeleteSkinElements();
};

} // namespace pagelet
