#include "qt/window/DrawnPart.h"

#include "app/MainDialog.h"
#include "diary/DiaryExport.h"
#include "platform/Commands.h"
#include "qt/dialogs/DayWords.h"
#include "qt/graphics/QtGraphics.h"
#include "qt/window/Shortcuts.h"
#include "text/Catalogue.h"

#include <algorithm>

namespace pagelet {

namespace {
const SkinElement* weatherButton(MainDialog& dialog)
{
    return dialog.skin().findElement(CMD_WEATHER);
}
} // namespace

std::vector<DrawnPart> drawnParts(MainDialog& dialog)
{
    std::vector<DrawnPart> parts;
    const auto& elements = dialog.skin().elements;
    for (std::size_t i = 0; i < elements.size(); ++i)
        if (shortcutFor(elements[i]->command))
            parts.push_back({DrawnPart::Button, static_cast<int>(i), elements[i].get()});
    parts.push_back({DrawnPart::DateLine});
    for (std::size_t i = 0; i < elements.size(); ++i)
        if (elements[i].get() == weatherButton(dialog))
            parts.push_back({DrawnPart::Weather, static_cast<int>(i), elements[i].get()});
    return parts;
}

const SkinElement* elementOf(MainDialog& dialog, const DrawnPart& part)
{
    const auto& elements = dialog.skin().elements;
    if (part.element < 0 || part.element >= static_cast<int>(elements.size()))
        return nullptr;
    const SkinElement* e = elements[part.element].get();
    return e == part.shown ? e : nullptr;
}

bool partExists(MainDialog& dialog, const DrawnPart& part)
{
    return part.kind == DrawnPart::DateLine || elementOf(dialog, part);
}

QString partName(MainDialog& dialog, const DrawnPart& part)
{
    if (part.kind == DrawnPart::DateLine)
        return dayInWords(localDate(dialog.day().selectedDay()));
    const SkinElement* e = elementOf(dialog, part);
    if (!e)
        return {};
    if (part.kind == DrawnPart::Weather)
        return toQString(withArgument(textOf(TextId::WeatherLine), weatherWord(e->cell)));
    const Shortcut* s = shortcutFor(e->command);
    return s ? s->name : QString();
}

QString partKey(MainDialog& dialog, const DrawnPart& part)
{
    const SkinElement* e = part.kind == DrawnPart::Button ? elementOf(dialog, part) : nullptr;
    const Shortcut* s = e ? shortcutFor(e->command) : nullptr;
    return s ? s->keys.front().toString(QKeySequence::NativeText) : QString();
}

Rect partRect(MainDialog& dialog, const DrawnPart& part)
{
    if (part.kind != DrawnPart::DateLine) {
        const SkinElement* e = elementOf(dialog, part);
        return e ? e->rect : Rect {};
    }
    Rect all {};
    for (const Rect& cell : dialog.skin().dateCells) {
        if (cell.isEmpty())
            continue;
        all = all.isEmpty() ? cell
                            : Rect {std::min(all.left, cell.left), std::min(all.top, cell.top),
                                    std::max(all.right, cell.right), std::max(all.bottom, cell.bottom)};
    }
    return all;
}

} // namespace pagelet
