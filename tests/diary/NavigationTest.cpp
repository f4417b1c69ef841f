#include "DiaryRig.h"

#include "diary/DayMarks.h"

#include <cstdlib>
#include <ctime>

using namespace pagelet;
using namespace pagelet::testing;

namespace {

// Sets TZ for one scope and puts the previous zone back.
struct ZoneScope {
    explicit ZoneScope(const char* zone) : old(std::getenv("TZ") ? std::getenv("TZ") : "")
    {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ZoneScope()
    {
        old.empty() ? ::unsetenv("TZ") : ::setenv("TZ", old.c_str(), 1);
        ::tzset();
    }
    std::string old;
};

} // namespace

TEST(Navigation, DayButtonsVisitEveryDateOnceAndStoreEachPageLeft)
{
    ZoneScope zone("Europe/Berlin"); // clocks change on 29 October 2023 and 31 March 2024
    // From midnight six dates on and back, over a year's end, a leap day and both changes: a
    // 25-hour day must not repeat a date on the way out, nor a 23-hour day be skipped on the way back.
    for (const LocalDate start : {LocalDate {2001, 12, 29}, LocalDate {2004, 2, 26}, LocalDate {2023, 10, 25}, LocalDate {2024, 3, 27}}) {
        DiaryRig rig;
        rig.startOn(start);
        rig.p.calendar.todayValue = fromLocal({2026, 12, 7});
        const auto dateOf = [&](int i) { return localDate(fromLocal({start.year, start.month, start.day + i}, 12)); };
        // The shown day, the calendar's, the day left, and whether its page was stored.
        std::vector<std::u16string> seen, want;
        for (int i = 1; i <= 13; ++i) {
            const int from = i <= 7 ? i - 1 : 13 - i, to = i <= 6 ? i : 12 - i;
            const std::u16string text = u"page " + fromAscii(std::to_string(i));
            rig.type(text);
            rig.command(i == 13 ? CMD_TODAY : i <= 6 ? CMD_NEXT_DAY : CMD_PREV_DAY);
            const bool stored = bytesOf(rig.pageFile(dateOf(from))) == encodePage({0, text});
            seen.push_back(makeDateKey(rig.dialog.day().selectedDay()) + makeDateKey(rig.p.calendar.selection) +
                           makeDateKey(rig.dialog.day().previousDay()) + (stored ? u"" : u" not stored"));
            want.push_back((i == 13 ? std::u16string(u"2026120720261207") : makeDateKey(dateOf(to)) + makeDateKey(dateOf(to))) +
                           makeDateKey(dateOf(from)));
        }
        EXPECT_EQ(seen, want);
        EXPECT_EQ(rig.p.window.wholeInvalidations, 13);
    }
}

TEST(Navigation, TheCalendarShowsFreshMarksAndAPickShowsThatDay)
{
    DiaryRig rig;
    rig.putPage(kDay, u"soon gone");
    rig.putPage({2001, 7, 20}, u"july", 1);
    rig.p.calendar.range = {{2001, 5, 27}, {2001, 7, 7}, 3};
    rig.startOn(kDay);
    rig.dialog.calendar().scanDayMarks();
    EXPECT_EQ(rig.p.calendar.masks, (std::vector<std::uint32_t> {0, 1u << 6, 0}));

    // An emptied page loses its file at once but stays bold until the calendar is shown again.
    rig.command(CMD_EDIT);
    rig.type(u"");
    EXPECT_FALSE(rig.dialog.day().savePage(rig.dialog.day().selectedDay())); // removed, not written
    EXPECT_FALSE(rig.dialog.editor().saved || rig.dialog.editor().editable);
    rig.command(CMD_NEXT_DAY); // and no empty page is ever written
    EXPECT_EQ(files(rig.data.root), (Files {{"20010720.dry", encodePage({1, u"july"})}}));
    EXPECT_EQ(rig.p.calendar.masks[1], 1u << 6);
    rig.command(CMD_CALENDAR);
    EXPECT_EQ(rig.p.calendar.masks[1], 0u);
    EXPECT_EQ(rig.p.calendar.placed, rig.dialog.skin().calendarArea);
    EXPECT_TRUE(rig.p.calendar.visible && rig.dialog.calendar().visible());

    // Hiding it again scans nothing and has the editor drawn anew where it was covered.
    const int scans = rig.p.calendar.dayStateCalls;
    rig.dialog.editor().needsRedraw = false;
    rig.command(CMD_CALENDAR);
    EXPECT_FALSE(rig.p.calendar.visible || rig.dialog.calendar().visible());
    EXPECT_TRUE(rig.dialog.editor().needsRedraw);
    EXPECT_EQ(rig.p.calendar.dayStateCalls, scans);

    // A pick of another month's day, of the shown day, of a day without a page: each stores the
    // page left and shows the day picked, the calendar and the caret hidden.
    const std::vector<std::pair<LocalDate, std::vector<int>>> picks = {
        {{2001, 7, 20}, {CMD_EDIT, 1, 1, false, false, true, false}},
        {{2001, 7, 20}, {CMD_EDIT, 1, 1, false, false, true, false}},
        {{2001, 5, 2}, {CMD_SAVE, 0, 0, true, true, false, true}},
    };
    for (const auto& [pick, state] : picks) {
        const DayValue left = rig.dialog.day().selectedDay();
        const std::int32_t weather = rig.dialog.day().weather();
        rig.command(CMD_EDIT); // the pick ends editing
        rig.type(u"left on " + makeDateKey(left));
        rig.command(CMD_CALENDAR);
        rig.dialog.editor().caretShown = false; // hidden whatever the flag said
        const int hides = rig.p.edit.caretHides;
        rig.dialog.navigation().onDayPicked(pick);
        EXPECT_EQ(rig.shown(), pick);
        EXPECT_EQ(localDate(rig.p.calendar.selection), pick);
        EXPECT_EQ(rig.dialog.day().previousDay(), left);
        EXPECT_FALSE(rig.p.calendar.visible || rig.dialog.calendar().visible());
        EXPECT_GT(rig.p.edit.caretHides, hides);
        EXPECT_EQ(rig.state(), state);
        EXPECT_EQ(bytesOf(rig.pageFile(localDate(left))), encodePage({weather, u"left on " + makeDateKey(left)}));
    }
}

TEST(DayMarks, OnlyTheMainMonthIsMarkedDayByDay)
{
    ZoneScope zone("Europe/Berlin"); // 29 October 2023 has 25 hours
    struct Case {
        DisplayedRange range;
        std::vector<LocalDate> pages;
        std::vector<std::uint32_t> masks;
    };
    const std::vector<Case> cases = {
        {{{2001, 1, 28}, {2001, 3, 10}, 3}, // the calendar ignores bits past February's end
         {{2001, 1, 28}, {2001, 2, 1}, {2001, 2, 28}, {2001, 3, 1}, {2001, 3, 3}},
         {0, (1u << 0) | (1u << 27) | (1u << 28) | (1u << 30), 0}},
        {{{2001, 11, 29}, {2002, 1, 9}, 3},
         {{2001, 11, 30}, {2001, 12, 1}, {2001, 12, 31}, {2002, 12, 5}, {2002, 1, 1}},
         {0, (1u << 0) | (1u << 30), 0}},
        {{{2001, 4, 1}, {2001, 5, 12}, 2}, {{2001, 4, 1}, {2001, 4, 30}, {2001, 5, 1}}, {(1u << 0) | (1u << 29) | (1u << 30), 0}},
        {{{2023, 9, 24}, {2023, 11, 4}, 3}, {{2023, 10, 1}, {2023, 10, 29}, {2023, 10, 31}}, {0, (1u << 0) | (1u << 28) | (1u << 30), 0}},
    };
    for (const auto& c : cases) {
        DiaryRig rig;
        for (const auto& d : c.pages)
            rig.putPage(d, u"p");
        rig.p.calendar.range = c.range;
        rig.dialog.calendar().onDayStatesRequested();
        EXPECT_EQ(rig.p.calendar.masks, c.masks) << c.range.first.month;
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
    };
    for (const auto& s : steps) {
        const int before = rig.p.calendar.dayStateCalls;
        rig.dialog.calendar().onSelectionChanged(s.selected);
        EXPECT_EQ(rig.p.calendar.dayStateCalls - before, s.rescans ? 1 : 0);
        EXPECT_EQ(localDate(rig.dialog.day().previousDay()), s.previousAfter);
        EXPECT_EQ(rig.shown(), (LocalDate {2001, 3, 15}));
    }
}

TEST(Navigation, DaysStayWithinFourDigitYears)
{
    struct Case {
        LocalDate start;
        int command;     // 0: a pick of the date below
        LocalDate other; // today for CMD_TODAY, the date picked
        LocalDate shown; // afterwards; a day change that stops leaves the page unstored
    };
    const std::vector<Case> cases = {
        {{1000, 1, 1}, CMD_PREV_DAY, {}, {1000, 1, 1}},     {{9999, 12, 31}, CMD_NEXT_DAY, {}, {9999, 12, 31}},
        {{1000, 1, 2}, CMD_PREV_DAY, {}, {1000, 1, 1}},     {{9999, 12, 30}, CMD_NEXT_DAY, {}, {9999, 12, 31}},
        {{2001, 6, 7}, 0, {999, 12, 31}, {1000, 1, 1}},
        {{2001, 6, 7}, 0, {10000, 1, 1}, {9999, 12, 31}},   {{2001, 6, 7}, CMD_TODAY, {12000, 5, 5}, {9999, 12, 31}},
        {{500, 3, 1}, CMD_TODAY, {2001, 6, 7}, {2001, 6, 7}}, // a start-up today before the first day
    };
    for (const auto& c : cases) {
        DiaryRig rig;
        rig.startOn(c.start);
        const LocalDate started = rig.shown();
        rig.type(u"글");
        rig.p.calendar.todayValue = fromLocal(c.other);
        c.command ? rig.command(c.command) : rig.dialog.navigation().onDayPicked(c.other);
        EXPECT_EQ(rig.shown(), c.shown) << c.start.year << " " << c.command;
        const bool stopped = rig.shown() == started && c.command != 0;
        const Files stored {{toUtf8(makeDateKey(started)) + ".dry", encodePage({0, u"글"})}};
        EXPECT_EQ(files(rig.data.root), stopped ? Files {} : stored);
    }
}
