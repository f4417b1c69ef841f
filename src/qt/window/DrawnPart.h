#pragma once
#include "base/Day.h"
#include "base/Geometry.h"

#include <QString>
#include <vector>

namespace pagelet {

class MainDialog;
class SkinElement;

// A part of the main window that is drawn from the skin rather than a widget: a button, the
// date line or the weather mark, as a screen reader is told of it. Found again in the skin at
// every question, so a skin replaced under it leaves it gone rather than dangling.
struct DrawnPart {
    enum Kind { Button, DateLine, Weather };
    Kind kind = Button;
    int element = -1;                     // the skin element's index (a button, the weather mark)
    const SkinElement* shown = nullptr;   // that element when the part was made

    friend bool operator==(const DrawnPart&, const DrawnPart&) = default;
};

// Every drawn part of the window as the skin has it now: its buttons in the skin's order, the
// date line, then the weather mark where the skin has a weather button.
std::vector<DrawnPart> drawnParts(MainDialog& dialog);
// The part's element, or null when the skin has changed since it was made.
const SkinElement* elementOf(MainDialog& dialog, const DrawnPart& part);
bool partExists(MainDialog& dialog, const DrawnPart& part);
// What a screen reader says: a button's name as its tooltip has it, the day or the weather.
QString partName(MainDialog& dialog, const DrawnPart& part);
// A button's key, as its tooltip shows it.
QString partKey(MainDialog& dialog, const DrawnPart& part);
// At 100 %, in the window's coordinates.
Rect partRect(MainDialog& dialog, const DrawnPart& part);

} // namespace pagelet
