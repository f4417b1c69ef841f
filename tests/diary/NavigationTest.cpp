#include "DiaryRig.h"

#include "diary/DayMarks.h"

using namespace pagelet;
using namespace pagelet::testing;

TEST(Navigation, DayButtonsStoreTheShownPageAndMoveByOneDate)
{
    struct Case {
        LocalDate from;
        int command;
        LocalDate to;
    };
    const std::vector<Case> cases = {
        {{2001, 12, 31}, CMD_NEXT_DAY, {2002, 1, 1}},
        {{2002, 1, 1}, CMD_PREV_DAY, {2001, 12, 31}},
        {{2004, 2, 28}, CMD_NEXT_DAY, {2004, 2, 29}},
        {{2004, 3, 1}, CMD_PREV_DAY, {2004, 2, 29}},
        {{2001, 6, 7}, CMD_TODAY, {2026, 12, 7}},
    };
    for (const auto& c : cases) {
        DiaryRig rig;
        rig.startOn(c.from);
        rig.p.calendar.todayValue = fromLocal({2026, 12, 7});
        rig.type(u"left behind");
        rig.command(c.command);
        EXPECT_EQ(rig.shown(), c.to);
        EXPECT_EQ(localDate(rig.p.calendar.selection), c.to);
        EXPECT_EQ(localDate(rig.dialog.previousDay), c.from);
        EXPECT_EQ(bytesOf(rig.pageFile(c.from)), encodePage({0, u"left behind"}));
        EXPECT_GT(rig.p.window.wholeInvalidations, 0);
    }
}

TEST(Navigation, PickingADayHidesTheCalendarAndShowsThatDay)
{
    struct Case {
        const char* what;
        LocalDate pick;
        bool hasPage;
    };
    const std::vector<Case> cases = {
        {"the shown day, with a page", {2001, 6, 7}, true},
        {"another month's day, with a page", {2001, 7, 20}, true},
        {"a day without a page", {2001, 5, 2}, false},
    };
    for (const auto& c : cases) {
        DiaryRig rig;
        rig.putPage({2001, 6, 7}, u"shown");
        rig.putPage({2001, 7, 20}, u"july", 1);
        rig.startOn({2001, 6, 7});
        rig.command(CMD_EDIT); // the pick ends editing
        rig.command(CMD_CALENDAR);
        ASSERT_TRUE(rig.p.calendar.visible);
        rig.dialog.editor.caretShown = false; // hidden whatever the flag said
        const int hidesBefore = rig.p.edit.caretHides;

        rig.dialog.onDayPicked(c.pick);
        EXPECT_EQ(rig.shown(), c.pick) << c.what;
        EXPECT_FALSE(rig.p.calendar.visible) << c.what;
        EXPECT_FALSE(rig.dialog.calendarVisible) << c.what;
        EXPECT_EQ(localDate(rig.p.calendar.selection), c.pick) << c.what;
        EXPECT_EQ(localDate(rig.dialog.previousDay), (LocalDate {2001, 6, 7})) << c.what;
        EXPECT_GT(rig.p.edit.caretHides, hidesBefore) << c.what;
        EXPECT_EQ(rig.dialog.editor.editable, !c.hasPage) << c.what;
        EXPECT_EQ(rig.deleteButton().enabled, c.hasPage) << c.what;
        EXPECT_EQ(bytesOf(rig.pageFile({2001, 6, 7})), encodePage({0, u"shown"})) << c.what;
    }
}

TEST(Navigation, AnEmptiedPageLosesItsFileButStaysBoldUntilTheNextScan)
{
    DiaryRig rig;
    rig.putPage({2001, 6, 7}, u"soon gone");
    rig.p.calendar.range = {{2001, 5, 27}, {2001, 7, 7}, 3};
    rig.startOn({2001, 6, 7});
    rig.dialog.scanDayMarks();
    EXPECT_EQ(rig.p.calendar.masks, (std::vector<std::uint32_t> {0, 1u << 6, 0}));
    rig.command(CMD_EDIT);
    rig.type(u"");
    rig.command(CMD_NEXT_DAY);
    EXPECT_FALSE(fs::exists(rig.pageFile({2001, 6, 7})));
    EXPECT_EQ(rig.p.calendar.masks[1], 1u << 6);
    rig.command(CMD_CALENDAR);
    EXPECT_EQ(rig.p.calendar.masks[1], 0u);
    EXPECT_EQ(rig.p.calendar.placed, rig.dialog.skin.calendarArea);
    EXPECT_TRUE(rig.p.calendar.visible && rig.dialog.calendarVisible);

    // Hiding it again scans nothing and has the editor drawn anew where it was covered.
    const int scans = rig.p.calendar.dayStateCalls;
    rig.dialog.editor.needsRedraw = false;
    rig.command(CMD_CALENDAR);
    EXPECT_FALSE(rig.p.calendar.visible || rig.dialog.calendarVisible);
    EXPECT_TRUE(rig.dialog.editor.needsRedraw);
    EXPECT_EQ(rig.p.calendar.dayStateCalls, scans);
}

TEST(Navigation, SaveOnANewDayKeepsDeleteOffUntilTheDayIsLoadedAgain)
{
    DiaryRig rig;
    rig.startOn({2001, 6, 7});
    EXPECT_FALSE(rig.deleteButton().enabled);
    rig.type(u"first page");
    rig.command(CMD_SAVE);
    EXPECT_TRUE(fs::exists(rig.pageFile({2001, 6, 7})));
    EXPECT_FALSE(rig.deleteButton().enabled);
    EXPECT_EQ(rig.editButton().command, CMD_EDIT);
    EXPECT_FALSE(rig.weatherButton().enabled);
    rig.command(CMD_NEXT_DAY);
    rig.command(CMD_PREV_DAY);
    EXPECT_TRUE(rig.deleteButton().enabled);
}

TEST(Navigation, WeatherCyclesThroughFiveMarksAndReachesTheFileOnSave)
{
    DiaryRig rig;
    rig.startOn({2001, 6, 7});
    rig.type(u"w");
    rig.dialog.editor.saved = true;
    std::vector<int> seen;
    for (int i = 0; i < 5; ++i) {
        rig.command(CMD_WEATHER);
        seen.push_back(rig.weatherButton().cell);
        EXPECT_EQ(rig.weatherButton().cell, rig.dialog.weather);
    }
    EXPECT_EQ(seen, (std::vector<int> {1, 2, 3, 4, 0}));
    EXPECT_TRUE(rig.dialog.editor.saved); // a mark alone is no change of the text
    rig.command(CMD_WEATHER);
    rig.command(CMD_SAVE);
    EXPECT_EQ(bytesOf(rig.pageFile({2001, 6, 7})), encodePage({1, u"w"}));

    // A skin without a weather button: the mark stays.
    rig.dialog.skin.elements.erase(rig.dialog.skin.elements.begin());
    rig.command(CMD_WEATHER);
    EXPECT_EQ(rig.dialog.weather, 1);
}

TEST(DayMarks, OnlyTheMainMonthIsMarked)
{
    struct Case {
        const char* what;
        DisplayedRange range;
        std::vector<LocalDate> pages;
        std::vector<std::uint32_t> masks;
    };
    const std::vector<Case> cases = {
        {"February main",
         {{2001, 1, 28}, {2001, 3, 10}, 3},
         {{2001, 1, 28}, {2001, 2, 1}, {2001, 2, 28}, {2001, 3, 1}, {2001, 3, 3}},
         {0, (1u << 0) | (1u << 27) | (1u << 28) | (1u << 30), 0}}, // the calendar ignores days past the 28th
        {"December of the first year",
         {{2001, 11, 29}, {2002, 1, 9}, 3},
         {{2001, 11, 30}, {2001, 12, 1}, {2001, 12, 31}, {2002, 12, 5}, {2002, 1, 1}},
         {0, (1u << 0) | (1u << 30), 0}},
        {"a grid starting on the 1st",
         {{2001, 4, 1}, {2001, 5, 12}, 2},
         {{2001, 4, 1}, {2001, 4, 30}, {2001, 5, 1}},
         {(1u << 0) | (1u << 29) | (1u << 30), 0}},
    };
    for (const auto& c : cases) {
        DiaryRig rig;
        for (const auto& d : c.pages)
            rig.putPage(d, u"p");
        rig.p.calendar.range = c.range;
        rig.dialog.onDayStatesRequested();
        EXPECT_EQ(rig.p.calendar.masks, c.masks) << c.what;
    }
}

TEST(DayMarks, SelectionChangeRescansOnlyWhenTheMonthNumberChanges)
{
    DiaryRig rig;
    rig.startOn({2001, 3, 15});
    rig.p.calendar.range = {{2001, 2, 25}, {2001, 4, 7}, 3};
    struct Step {
        LocalDate selected;
        bool rescans;
        LocalDate previousAfter;
    };
    const std::vector<Step> steps = {
        {{2001, 3, 20}, false, {2001, 3, 15}},
        {{2002, 3, 20}, false, {2001, 3, 15}}, // another year, same month number
        {{2002, 4, 20}, true, {2002, 4, 20}},
        {{2002, 4, 2}, false, {2002, 4, 20}},
        {{2001, 5, 1}, true, {2001, 5, 1}},
    };
    for (const auto& s : steps) {
        const int before = rig.p.calendar.dayStateCalls;
        rig.dialog.onSelectionChanged(s.selected);
        EXPECT_EQ(rig.p.calendar.dayStateCalls - before, s.rescans ? 1 : 0);
        EXPECT_EQ(localDate(rig.dialog.previousDay), s.previousAfter);
        EXPECT_EQ(rig.shown(), (LocalDate {2001, 3, 15}));
    }
}

TEST(DayMarks, MovingByDaysVisitsEveryDateOnceAcrossDaylightSavingChanges)
{
    ZoneScope zone("Europe/Berlin");
    struct Case {
        LocalDate start;
        int direction; // the first leg's; the second comes back
        int steps;
    };
    // From midnight over each change, either way first.
    const std::vector<Case> cases = {
        {{2023, 10, 25}, 1, 10}, {{2023, 11, 2}, -1, 10}, {{2024, 3, 27}, 1, 10}, {{2024, 4, 3}, -1, 10},
    };
    for (const auto& c : cases) {
        DiaryRig rig;
        rig.startOn(c.start);
        const int there = c.direction > 0 ? CMD_NEXT_DAY : CMD_PREV_DAY;
        const int back = c.direction > 0 ? CMD_PREV_DAY : CMD_NEXT_DAY;
        std::vector<LocalDate> seen {rig.shown()};
        for (int i = 0; i < c.steps; ++i) {
            rig.command(there);
            seen.push_back(rig.shown());
        }
        for (int i = 0; i < c.steps; ++i) {
            rig.command(back);
            seen.push_back(rig.shown());
        }
        for (int i = 0; i <= c.steps; ++i) {
            const LocalDate want = localDate(fromLocal({c.start.year, c.start.month, c.start.day + c.direction * i}, 12));
            EXPECT_EQ(seen[static_cast<std::size_t>(i)], want) << "out " << i;
            EXPECT_EQ(seen[static_cast<std::size_t>(2 * c.steps - i)], want) << "back " << i;
        }
    }
    // A month of pages across each change is marked day by day.
    for (const auto& [month, range] : std::vector<std::pair<int, DisplayedRange>> {
             {3, {{2024, 2, 25}, {2024, 4, 6}, 3}}, {10, {{2023, 9, 24}, {2023, 11, 4}, 3}}}) {
        DiaryRig rig;
        for (int d = 1; d <= 31; ++d)
            rig.putPage({month == 3 ? 2024 : 2023, month, d}, u"p");
        rig.p.calendar.range = range;
        rig.dialog.scanDayMarks();
        EXPECT_EQ(rig.p.calendar.masks[1], 0x7FFFFFFFu) << month;
    }
}
