#pragma once
#include "base/Geometry.h"
#include "skin/Skin.h"
#include "skin/SkinFile.h"

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

// Builds a Skin from a skin folder: the strips, the elements, the date cells and the layout.
class SkinLoader {
public:
    SkinLoader(Skin& skin, const SkinContext& context) : m_skin(skin), m_context(context) {}

    // Reads folder + "skin.skn" and the strips it names, and lays the skin out; false when
    // "skin.skn" can't be opened (the skin is then empty).
    bool LoadSkin(const std::u16string& given);
    // Acts on one line of "skin.skn".
    void ApplySkinEntry(const std::u16string& folder, const SkinEntry& entry);
    // Places the date cells and the elements, then takes the band off the text area.
    void layout();

    // Strip lines acted on per load: a skin is six strips; thousands of repeats would only
    // stall the start-up decoding the same pictures and piling up buttons.
    static constexpr int kMaxStripLines = 64;
    // Cell sides are kept within this, so no layout sum can overflow.
    static constexpr int kMaxCellSide = 32767;

private:
    void applyStrip(const std::u16string& folder, int stripIndex, const SkinEntry& entry);

    Skin& m_skin;
    const SkinContext& m_context;
    int m_stripLines = 0;
};

bool LoadSkin(Skin& skin, const std::u16string& folder, const SkinContext& context);

} // namespace pagelet
