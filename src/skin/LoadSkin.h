#pragma once
#include "base/Geometry.h"
#include "skin/Skin.h"

#include <string>

namespace pagelet {

class Graphics;
class MessageBoxPort;
class MonthCalendar;

// What loading a skin needs of its surroundings.
struct SkinContext {
    Graphics& graphics;
    MonthCalendar& calendar;
    MessageBoxPort& messages; // the long-line warning
    Size clientSize;
    int weather = 0; // the weather button's cell at load time
};

// Reads folder + "skin.skn" and the strips it names, and lays the skin out; false when
// "skin.skn" can't be opened (the skin is then empty).
bool LoadSkin(Skin& skin, const std::u16string& folder, const SkinContext& context);

} // namespace pagelet
