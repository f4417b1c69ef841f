#include "platform/Commands.h"
#include "fakes/Fakes.h"
#include "skin/LoadSkin.h"
#include "skin/SkinFolder.h"
#include "skin/SkinTestFiles.h"

#include <gtest/gtest.h>

using namespace pagelet;

namespace {

// A BMP header, enough for the fake graphics to know the picture's width.
std::string bmpHeader(int width, int height)
{
    std::string b(54, '\0');
    b[0] = 'B';
    b[1] = 'M';
    for (const auto& [at, v] : {std::pair {14, 40}, {18, width}, {22, height}})
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return b;
}

struct Loader {
    bool load(const std::u16string& folder, int weather = 0)
    {
        return LoadSkin(skin, folder, {graphics, calendar, messages, {240, 270}, weather});
    }
    fakes::FakeGraphics graphics;
    fakes::FakeCalendar calendar; // 124 x 137
    fakes::FakeMessageBox messages;
    Skin skin;
};

} // namespace

TEST(LoadSkin, WorkedExampleGivesTheListedLayout)
{
    skintest::TempFolder temp;
    temp.write("skin.skn", "BACKGROUND:255,255,255\r\nMONTHBACK:255,255,240\r\nTEXT:0,0,0\r\nTITLEBACK:0,64,128\r\n"
                           "TITLETEXT:255,255,255\r\nTRAILINGTEXT:128,128,128\r\nNUMBER:8,14\r\nETC:10,14\r\n"
                           "WEEKDAY:20,14\r\nWEATHER:16,16\r\nBUTTON1:16,16\r\nBUTTON2:24,20\r\nENABLE:0,0,0\r\n"
                           "DISABLE:112,112,112\r\n");
    Loader l;
    ASSERT_TRUE(l.load(temp.folder(), 3));
    EXPECT_EQ(l.skin.bandHeight, 16);
    EXPECT_EQ(l.skin.dateCells, (std::array<Rect, 9> {{{5, 3, 13, 17}, {14, 3, 22, 17}, {23, 3, 33, 17},
                                                       {36, 3, 44, 17}, {45, 3, 53, 17}, {54, 3, 64, 17},
                                                       {67, 3, 87, 17}, {88, 3, 98, 17}, {99, 3, 109, 17}}}));
    const struct {
        int command;
        Rect rect;
        int cell;
        const ImageStrip* strip;
    } want[] = {
        {CMD_WEATHER, {112, 2, 128, 18}, 3, l.skin.weatherStrip.get()}, {CMD_TIMESTAMP, {156, 2, 172, 18}, 4, l.skin.button1Strip.get()},
        {CMD_CALENDAR, {221, 2, 237, 18}, 3, l.skin.button1Strip.get()}, {CMD_NEXT_DAY, {204, 2, 220, 18}, 2, l.skin.button1Strip.get()},
        {CMD_TODAY, {188, 2, 204, 18}, 1, l.skin.button1Strip.get()},    {CMD_PREV_DAY, {172, 2, 188, 18}, 0, l.skin.button1Strip.get()},
        {CMD_FIND, {165, 248, 189, 268}, 5, l.skin.button2Strip.get()},  {CMD_VOICE, {27, 248, 51, 268}, 4, l.skin.button2Strip.get()},
        {CMD_DELETE, {189, 248, 213, 268}, 3, l.skin.button2Strip.get()}, {CMD_SETTINGS, {3, 248, 27, 268}, 2, l.skin.button2Strip.get()},
        {CMD_EDIT, {213, 248, 237, 268}, 1, l.skin.button2Strip.get()},
    };
    ASSERT_EQ(l.skin.elements.size(), std::size(want));
    for (std::size_t i = 0; i < std::size(want); ++i) { // in this order
        const SkinElement& e = *l.skin.elements[i];
        EXPECT_EQ(e.command, want[i].command) << i;
        EXPECT_EQ(e.rect, want[i].rect) << e.command;
        EXPECT_EQ(e.cell, want[i].cell) << e.command;
        EXPECT_EQ(e.strip, want[i].strip) << e.command;
        EXPECT_TRUE(e.enabled);
        EXPECT_EQ(e.lParam, -1);
        EXPECT_EQ(e.wParam, e.command == CMD_VOICE ? reinterpret_cast<std::intptr_t>(&e.rect) : -1) << e.command;
    }
    EXPECT_EQ(l.skin.calendarArea, (Rect {237 - 124, 20, 237, 20 + 137}));
    EXPECT_EQ(l.skin.textArea, (Rect {3, 20, 237, 246}));
    EXPECT_EQ(l.calendar.colors, (std::map<int, Color> {{MonthCalendar::Background, rgb(255, 255, 255)},
                                                        {MonthCalendar::MonthBack, rgb(255, 255, 240)},
                                                        {MonthCalendar::Text, rgb(0, 0, 0)},
                                                        {MonthCalendar::TitleBack, rgb(0, 64, 128)},
                                                        {MonthCalendar::TitleText, rgb(255, 255, 255)},
                                                        {MonthCalendar::TrailingText, rgb(128, 128, 128)}}));
    EXPECT_EQ(l.skin.editTextColor, rgb(0, 0, 0));
    EXPECT_EQ(l.skin.viewTextColor, rgb(112, 112, 112));
    EXPECT_TRUE(l.messages.shown.empty());
}

TEST(LoadSkin, BandAndTextAreaFollowTheLinesThatArePresent)
{
    const char utf16[] = "N\0U\0M\0B\0E\0R\0:\0" "8\0,\0" "1\0" "4\0\r\0\n\0";
    struct Case {
        const char* name;
        std::string skn;
        int band;
        Rect text;
        std::size_t elements;
    };
    const Case cases[] = {
        {"no bottom row", "NUMBER:8,14\nWEATHER:16,16\nBUTTON1:16,16\n", 16, {3, 20, 237, 268}, 6},
        {"date only", "NUMBER:8,14\nETC:10,12\nWEEKDAY:20,15\n", 15, {3, 19, 237, 268}, 0},
        {"no band lines", "BUTTON2:24,20\n", 0, {3, 4, 237, 246}, 5},
        {"lower-case keys do nothing", "number:8,30\nbutton2:24,20\nWeather:16,16\n", 0, {3, 4, 237, 268}, 0},
        {"a second bottom row takes its room again", "BUTTON2:24,20\nBUTTON2:24,20\n", 0, {3, 4, 237, 224}, 10},
        {"cells with no size", "NUMBER:0,0\nBUTTON1:-5,16\nBUTTON2:24\n", 16, {3, 20, 237, 266}, 10},
        {"a 16-bit file has no key", std::string(utf16, sizeof utf16 - 1), 0, {3, 4, 237, 268}, 0},
        {"headings and free text", "[Date]\nNUMBER:8,14\nMade by hand: for testing\n:::\n", 14, {3, 18, 237, 268}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        skintest::TempFolder temp;
        temp.write("skin.skn", c.skn);
        Loader l;
        EXPECT_TRUE(l.load(temp.folder()));
        EXPECT_EQ(l.skin.bandHeight, c.band);
        EXPECT_EQ(l.skin.textArea, c.text);
        EXPECT_EQ(l.skin.elements.size(), c.elements);
    }
}

TEST(LoadSkin, AReloadReplacesTheSkinButKeepsWhatItsLinesDontSet)
{
    skintest::TempFolder temp;
    // Colours take the low eight bits of each value.
    temp.write("tall/skin.skn", "NUMBER:8,30\nBUTTON1:16,16\nENABLE:257,2,-253\nTITLEBACK:300,-1,0\n");
    temp.write("short/skin.skn", "NUMBER:8,16\nBUTTON2:24,20\n");
    Loader l;
    ASSERT_TRUE(l.load(temp.folder("tall")));
    EXPECT_EQ(l.calendar.colors[MonthCalendar::TitleBack], rgb(44, 255, 0));
    const Rect calendarArea = l.skin.calendarArea;
    l.skin.pressedElement = l.skin.elements.front().get();
    ASSERT_TRUE(l.load(temp.folder("short")));
    EXPECT_EQ(l.skin.bandHeight, 16);
    EXPECT_EQ(l.skin.calendarArea, calendarArea) << "no top buttons: the calendar stays where it was";
    EXPECT_EQ(l.skin.editTextColor, rgb(1, 2, 3));
    EXPECT_EQ(l.skin.pressedElement, nullptr);
    EXPECT_EQ(l.skin.elements.size(), 5u);
    EXPECT_FALSE(l.skin.button1Strip);

    // A folder without skin.skn empties the skin and leaves the inset window as the page.
    EXPECT_FALSE(l.load(temp.folder("missing")));
    EXPECT_TRUE(l.skin.elements.empty());
    EXPECT_FALSE(l.skin.numberStrip);
    EXPECT_EQ(l.skin.dateCells[1], Rect {});
    EXPECT_EQ(l.skin.textArea, (Rect {3, 2, 237, 268}));
    EXPECT_EQ(l.skin.editTextColor, rgb(1, 2, 3));
}

TEST(LoadSkin, FindsFilesIgnoringCaseAndKeepsButtonsOfMissingBitmaps)
{
    skintest::TempFolder temp;
    temp.write("MySkin/Skin.SKN", "NUMBER:8,14\nBUTTON1:16,16\nBUTTON2:24,20\nWEATHER:16,16\nWEATHER:16,16\n");
    temp.write("MySkin/NUMBER.bmp", bmpHeader(80, 14));
    temp.write("MySkin/Button1.Bmp", bmpHeader(48, 16)); // room for three of the five cells
    Loader l;
    ASSERT_TRUE(l.load(temp.folder() + u"MYSKIN/"));
    EXPECT_EQ(l.skin.numberStrip->cellCount(), 10);
    EXPECT_EQ(l.skin.button1Strip->cellCount(), 3);
    EXPECT_EQ(l.skin.button2Strip->cellCount(), 0) << "button2.bmp is missing";
    ASSERT_EQ(l.graphics.loaded.size(), 2u);
    EXPECT_EQ(toUtf8(l.graphics.loaded[0]), (temp.root / "MySkin" / "NUMBER.bmp").string());
    // The buttons without a picture are still placed, so they can be tapped.
    EXPECT_EQ(l.skin.findElement(CMD_EDIT)->rect, (Rect {213, 248, 237, 268}));
    // A repeated strip line: both elements draw from the strip as it is now, never from one
    // that was replaced.
    const auto& e = l.skin.elements;
    ASSERT_EQ(e.size(), 12u);
    EXPECT_EQ(e[10]->rect, e[11]->rect);
    EXPECT_EQ(e[10]->strip, l.skin.weatherStrip.get());
    EXPECT_EQ(e[11]->strip, l.skin.weatherStrip.get());
}

TEST(LoadSkin, ANameLoadsOnlyItsOwnFolderOfTheSkinFolder)
{
    // install/skin/{Wood,wood,Blue}, each skin a button wide as its mark; a skin beside the install.
    skintest::TempFolder temp;
    const std::pair<const char*, int> skins[] = {{"install/skin/Wood", 10}, {"install/skin/wood", 20},
                                                 {"install/skin/Blue", 30}, {"elsewhere", 40}, {"install/skin", 50}};
    for (const auto& [folder, width] : skins)
        temp.write(std::string(folder) + "/skin.skn", "BUTTON2:" + std::to_string(width) + ",20\n");
    const std::u16string program = temp.folder("install");
    struct Case {
        const char16_t* name;
        int width; // of the loaded skin's buttons; 0: no skin
    };
    const Case cases[] = {
        {u"Wood", 10}, {u"wood", 20}, {u"bLUE", 30}, {u"../../elsewhere", 0}, {u"../../../elsewhere", 0},
        {u"..", 0},    {u".", 0},     {u"", 0},      {u"Blue/", 0},           {u"gone", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.name));
        Loader l;
        const std::u16string folder = skinFolderOf(program, c.name);
        EXPECT_EQ(l.load(folder), c.width != 0);
        EXPECT_EQ(l.skin.elements.empty() ? 0 : l.skin.elements[0]->rect.width(), c.width);
        EXPECT_TRUE(l.messages.shown.empty());
        const std::u16string back = skinFile(folder, u"back.bmp");
        EXPECT_TRUE(back.empty() || back.starts_with(program + u"skin/")) << toUtf8(back);
    }
}

TEST(LoadSkin, HostileValuesStayWithinBounds)
{
    std::string skn = "NUMBER:2147483647,2147483647\nETC:-2147483648,5\nWEEKDAY:99999,-99999\n"
                      "BUTTON1:2000000000,40000\nBUTTON2:70000,70000\n";
    for (int i = 0; i < 500; ++i)
        skn += "BUTTON2:24,20\n";
    skintest::TempFolder temp;
    temp.write("skin.skn", skn);
    temp.write("button2.bmp", bmpHeader(144, 20));
    Loader l;
    ASSERT_TRUE(l.load(temp.folder()));
    // Repeated strip lines stop adding buttons and loading pictures after a while.
    EXPECT_LE(l.skin.elements.size(), static_cast<std::size_t>(SkinLoader::kMaxStripLines * 5));
    EXPECT_LE(l.graphics.loaded.size(), static_cast<std::size_t>(SkinLoader::kMaxStripLines));
    EXPECT_LE(l.skin.bandHeight, SkinLoader::kMaxCellSide);
    EXPECT_LE(l.skin.textArea.top, l.skin.textArea.bottom);
    for (const auto& c : l.skin.dateCells)
        EXPECT_LE(std::abs(c.width()), SkinLoader::kMaxCellSide);
    for (const auto& e : l.skin.elements)
        EXPECT_LE(std::abs(e->rect.height()), SkinLoader::kMaxCellSide);
}
