#include "skin/LoadSkin.h"

#include "platform/Commands.h"
#include "base/Color.h"
#include "base/FileIo.h"
#include "skin/SkinFolder.h"
#include "platform/Graphics.h"
#include "platform/MonthCalendar.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <vector>

namespace pagelet {

namespace {

struct ColorKey {
    const char* key;
    int slot;
};

const ColorKey kColorKeys[] = {
    {"BACKGROUND", MonthCalendar::Background}, {"MONTHBACK", MonthCalendar::MonthBack},
    {"TEXT", MonthCalendar::Text},             {"TITLEBACK", MonthCalendar::TitleBack},
    {"TITLETEXT", MonthCalendar::TitleText},   {"TRAILINGTEXT", MonthCalendar::TrailingText},
};

struct ElementRow {
    int command;
    int cell; // -1: the weather at load time
};

struct StripKey {
    const char* key;
    const char16_t* file;
    int cells;
    std::unique_ptr<ImageStrip> Skin::*strip;
    std::vector<int> dateCells;
    std::vector<ElementRow> elements;
    bool inBand;
};

const StripKey kStripKeys[] = {
    {"ETC", u"etc.bmp", 4, &Skin::etcStrip, {2, 5, 7, 8}, {}, true},
    {"NUMBER", u"number.bmp", 10, &Skin::numberStrip, {0, 1, 3, 4}, {}, true},
    {"WEEKDAY", u"weekday.bmp", 7, &Skin::weekdayStrip, {6}, {}, true},
    {"WEATHER", u"weather.bmp", 5, &Skin::weatherStrip, {}, {{CMD_WEATHER, -1}}, true},
    {"BUTTON1", u"button1.bmp", 5, &Skin::button1Strip, {},
     {{CMD_TIMESTAMP, 4}, {CMD_CALENDAR, 3}, {CMD_NEXT_DAY, 2}, {CMD_TODAY, 1}, {CMD_PREV_DAY, 0}}, true},
    {"BUTTON2", u"button2.bmp", 6, &Skin::button2Strip, {},
     {{CMD_FIND, 5}, {CMD_VOICE, 4}, {CMD_DELETE, 3}, {CMD_SETTINGS, 2}, {CMD_EDIT, 1}}, false},
};

// Gaps before date cells 1 to 8.
constexpr int kDateGaps[9] = {0, 1, 1, 3, 1, 1, 3, 1, 1};

int clampSide(std::int32_t v)
{
    return std::clamp<std::int32_t>(v, -SkinLoader::kMaxCellSide, SkinLoader::kMaxCellSide);
}

} // namespace

bool LoadSkin(Skin& skin, const std::u16string& folder, const SkinContext& context)
{
    return SkinLoader(skin, context).LoadSkin(folder);
}

bool SkinLoader::LoadSkin(const std::u16string& given)
{
    // Looked up once: its files are then matched in it alone.
    const std::u16string folder = resolveIgnoringCase(given);
    for (const auto& s : kStripKeys)
        (m_skin.*s.strip).reset();
    m_skin.dateCells = {};
    m_skin.DeleteSkinElements();
    m_skin.bandHeight = 0;
    const Size client = m_context.clientSize;
    m_skin.textArea = {3, 2, client.width - 3, client.height - 2};
    m_stripLines = 0;

    SkinFile file(2048, m_context.messages);
    if (!file.Open(skinFile(folder, u"skin.skn")))
        return false;
    char line[100];
    while (file.ReadLine(line, sizeof line) != 0)
        if (const auto entry = ParseSkinLine(line))
            ApplySkinEntry(folder, *entry);
    file.Close();

    layout();
    m_skin.textArea.top += m_skin.bandHeight + 2;
    // Cells taller than the window leave no room for the page; an empty page is still a page.
    m_skin.textArea.bottom = std::max(m_skin.textArea.bottom, m_skin.textArea.top);
    return true;
}

void SkinLoader::ApplySkinEntry(const std::u16string& folder, const SkinEntry& entry)
{
    const auto& v = entry.values;
    for (const auto& c : kColorKeys)
        if (entry.key == c.key) {
            m_context.calendar.setColor(c.slot, rgb(v[0], v[1], v[2]));
            return;
        }
    for (std::size_t i = 0; i < std::size(kStripKeys); ++i)
        if (entry.key == kStripKeys[i].key) {
            applyStrip(folder, static_cast<int>(i), entry);
            return;
        }
    if (entry.key == "ENABLE")
        m_skin.editTextColor = rgb(v[0], v[1], v[2]);
    else if (entry.key == "DISABLE")
        m_skin.viewTextColor = rgb(v[0], v[1], v[2]);
}

void SkinLoader::applyStrip(const std::u16string& folder, int stripIndex, const SkinEntry& entry)
{
    if (m_stripLines >= kMaxStripLines)
        return;
    ++m_stripLines;
    const StripKey& key = kStripKeys[stripIndex];
    const int width = clampSide(entry.values[0]);
    const int height = clampSide(entry.values[1]);

    const auto bitmap = m_context.graphics.loadBitmap(skinFile(folder, key.file));
    auto strip = m_context.graphics.makeStrip(bitmap.get(), {width, height}, key.cells);
    // Buttons of an earlier line of the same key draw from the strip as it is now.
    std::unique_ptr<ImageStrip>& slot = m_skin.*key.strip;
    for (auto& e : m_skin.elements)
        if (slot && e->strip == slot.get())
            e->strip = strip.get();
    slot = std::move(strip);

    const Rect cell {0, 0, width, height};
    for (int d : key.dateCells)
        m_skin.dateCells[static_cast<std::size_t>(d)] = cell;
    for (const auto& e : key.elements)
        m_skin.AddSkinElement(cell, slot.get(), e.cell < 0 ? m_context.weather : e.cell, e.command);
    if (key.inBand)
        m_skin.bandHeight = std::max(m_skin.bandHeight, height);
}

void SkinLoader::layout()
{
    const int L = m_skin.textArea.left;
    const int T = m_skin.textArea.top;
    const int R = m_skin.textArea.right;
    const int H = m_skin.bandHeight;
    auto centred = [&](int h) { return T + (H - h) / 2; };

    int x = L + 2;
    for (std::size_t i = 0; i < m_skin.dateCells.size(); ++i) {
        Rect& c = m_skin.dateCells[i];
        x += kDateGaps[i];
        c = c.movedTo(x, centred(c.height()));
        x = c.right;
    }

    for (auto& e : m_skin.elements) {
        Rect& r = e->rect;
        const int w = r.width();
        const int h = r.height();
        const int B = m_skin.textArea.bottom;
        switch (e->command) {
        case CMD_WEATHER: r = r.movedTo(m_skin.dateCells[8].right + 3, centred(h)); break;
        case CMD_TIMESTAMP: r = r.movedTo(R - 5 * w - 1, centred(h)); break;
        case CMD_PREV_DAY: r = r.movedTo(R - 4 * w - 1, centred(h)); break;
        case CMD_TODAY: r = r.movedTo(R - 3 * w - 1, centred(h)); break;
        case CMD_NEXT_DAY: r = r.movedTo(R - 2 * w - 1, centred(h)); break;
        case CMD_CALENDAR: {
            r = r.movedTo(R - w, centred(h));
            const Size s = m_context.calendar.size();
            m_skin.calendarArea = {r.right - s.width, r.bottom + 2, r.right, r.bottom + 2 + s.height};
            break;
        }
        case CMD_FIND: r = r.movedTo(R - 3 * w, B - h); break;
        case CMD_VOICE:
            r = r.movedTo(L + w, B - h);
            e->wParam = reinterpret_cast<std::intptr_t>(&r);
            break;
        case CMD_DELETE: r = r.movedTo(R - 2 * w, B - h); break;
        case CMD_SETTINGS: r = r.movedTo(L, B - h); break;
        case CMD_EDIT:
            r = r.movedTo(R - w, B - h);
            m_skin.textArea.bottom = B - h - 2;
            break;
        default: break;
        }
    }
}

} // namespace pagelet
