#include "skin/Skin.h"

namespace pagelet {

SkinElement* Skin::findElement(int command) const
{
    for (const auto& e : elements)
        if (e->command == command)
            return e.get();
    return nullptr;
}

void Skin::AddSkinElement(const Rect& rect, const ImageStrip* strip, int cell, int command)
{
    elements.push_back(std::make_unique<SkinElement>(rect, strip, cell, command));
}

void Skin::DeleteSkinElements()
{
    pressedElement = nullptr;
    elements.clear();
}

} // namespace pagelet
