#include "DiaryRig.h"

#include "app/PanelKeyboard.h"
#include "diary/FindDialog.h"
#include "fakes/FakeDialogView.h"

using namespace pagelet;
using namespace pagelet::testing;
using F = FindDialog;

namespace {

const std::u16string kNoMore = u" 더이상 찾을수 없습니다 !";

// The 42 days a calendar starting its weeks on Sunday shows for a month.
DisplayedRange monthGrid(int year, int month)
{
    const DayValue first = fromLocal({year, month, 1});
    const int weekday = toLocal(first).weekday;
    const LocalDate from = localDate(addDays(first, -(weekday == 0 ? 7 : weekday)));
    const LocalDate to = localDate(addDays(fromLocal(from), 41));
    return {from, to, (to.year - from.year) * 12 + to.month - from.month + 1};
}

// A find dialog on a temporary data folder, its calendar scripted on a month.
struct FindRig {
    FindRig() : keyboard(panel), dialog(store, messages, folding, keyboard)
    {
        view.calendars[F::kCalendar] = &calendar;
        calendar.todayValue = fromLocal({2001, 9, 12});
        show(2001, 9);
        dialog.OnInitDialog(view);
    }
    void put(const LocalDate& date, const std::u16string& text) const
    {
        writeBytes(data.root / (toUtf8(makeDateKey(date)) + ".dry"), encodePage({0, text}));
    }
    void show(int year, int month) { calendar.range = monthGrid(year, month); }
    void find(const std::u16string& word, bool matchCase = false)
    {
        view.texts[F::kWordEdit] = word;
        view.checks[F::kMatchCaseCheck] = matchCase;
        dialog.OnCommand(view, F::kFindButton);
    }
    // The user's typing in the word box.
    void type(const std::u16string& word)
    {
        view.texts[F::kWordEdit] = word;
        dialog.OnEditChange(view, F::kWordEdit);
    }
    // The main month's mask.
    std::uint32_t bold() const { return calendar.masks.empty() ? 0 : calendar.masks[1]; }
    std::vector<std::u16string> shown() const
    {
        std::vector<std::u16string> texts;
        for (const auto& m : messages.shown)
            texts.push_back(m.text);
        return texts;
    }
    std::pair<int, int> selection() { return view.selected[F::kResultEdit]; }

    TempFolder data {"find"};
    PlainPageStore store {data.folder()};
    fakes::FakeMessageBox messages;
    fakes::FakeCaseFolding folding;
    fakes::FakeSoftInput panel;
    PanelKeyboard keyboard;
    fakes::FakeCalendar calendar;
    fakes::FakeDialogView view;
    FindDialog dialog;
};

} // namespace

TEST(Find, KeepsTheFirstMatchingDayOfTheShownMonthAndMarksEveryOne)
{
    const std::u16string fifth = u"Breakfast.\r\nAn apple, then another apple.";
    struct Case {
        const char* name;
        std::u16string word;
        bool matchCase;
        int wantDay; // of September 2001, which has 30 days
        std::uint32_t wantBold;
        std::u16string wantResult;
        std::pair<int, int> wantSelection;
    };
    const Case cases[] = {
        {"the 5th and the 20th", u"apple", true, 5, 1u << 4 | 1u << 19, fifth, {15, 20}},
        {"folded: Apple finds apple and APPLE", u"Apple", false, 5, 1u << 4 | 1u << 19 | 1u << 29, fifth, {15, 20}},
        {"exact: only the page that has Apple", u"Apple", true, 20, 1u << 19, u"Apple pie, apple tart", {0, 5}},
        {"only the 30th, the 1st after it not searched", u"APPLE", true, 30, 1u << 29, u"APPLE JUICE", {0, 5}},
        {"nowhere: the month's last day", u"Pear", false, 30, 0,
         u"이번 달 일기중에는 \"Pear\" 를 포함하는\r\n일기가 없습니다 !", {-9, -9}},
        {"an empty word is in every page", u"", false, 5, 1u << 4 | 1u << 9 | 1u << 19 | 1u << 29, fifth, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FindRig rig;
        rig.put({2001, 9, 5}, fifth);
        rig.put({2001, 9, 10}, u"rain all day");
        rig.put({2001, 9, 20}, u"Apple pie, apple tart");
        rig.put({2001, 9, 30}, u"APPLE JUICE");
        rig.put({2001, 10, 1}, u"Apple again");
        rig.put({2001, 8, 31}, u"Apple in August");
        rig.view.selected[F::kResultEdit] = {-9, -9};
        rig.find(c.word, c.matchCase);
        EXPECT_EQ(localDate(rig.dialog.foundDay), (LocalDate {2001, 9, c.wantDay}));
        EXPECT_EQ(rig.calendar.masks, (std::vector<std::uint32_t> {0, c.wantBold, 0}));
        EXPECT_EQ(rig.view.texts[F::kResultEdit], c.wantResult);
        EXPECT_EQ(rig.selection(), c.wantSelection);
        EXPECT_TRUE(rig.messages.shown.empty());
        if (c.wantBold) { // the page shown is the day selected
            EXPECT_EQ(rig.calendar.selection, rig.dialog.foundDay);
        }
    }
}

TEST(Find, FindNextStaysInThePageAndStartsOverAfterSayingNoMore)
{
    const std::u16string page = u"apple\r\nApple and APPLE";
    struct Case {
        bool matchCase;
        std::vector<std::pair<int, int>> wantSteps; // Find, then Find next four times; {-1, -1}: message C
    };
    const Case cases[] = {
        {false, {{0, 5}, {7, 12}, {17, 22}, {-1, -1}, {0, 5}}},
        {true, {{7, 12}, {-1, -1}, {7, 12}, {-1, -1}, {7, 12}}},
    };
    for (const auto& c : cases) {
        FindRig rig;
        rig.put({2001, 9, 3}, page);
        rig.find(u"Apple", c.matchCase);
        // Edited after Find: Find next keeps the word of the Find.
        rig.type(u"pie");
        std::vector<std::pair<int, int>> steps;
        for (int i = 0; i < 5; ++i) {
            if (i > 0)
                rig.dialog.OnCommand(rig.view, F::kFindNextButton);
            const bool said = !rig.messages.shown.empty();
            steps.push_back(said ? std::pair(-1, -1) : rig.selection());
            rig.messages.shown.clear();
            rig.view.selected.clear();
        }
        EXPECT_EQ(steps, c.wantSteps) << (c.matchCase ? "exact" : "folded");
    }
}

TEST(Find, APickedDayShowsItsPageAndSaysWhenTheWordIsNotInIt)
{
    FindRig rig;
    rig.put({2001, 9, 5}, u"first apple");
    rig.put({2001, 9, 8}, u"no fruit");
    rig.put({2001, 9, 9}, u"two apples");
    rig.find(u"apple");
    rig.messages.shown.clear();

    rig.dialog.OnDayPicked(rig.view, F::kCalendar, {2001, 9, 8});
    EXPECT_EQ(rig.view.texts[F::kResultEdit], u"no fruit");
    EXPECT_EQ(rig.shown(), std::vector<std::u16string> {u"이날의 일기는 \"apple\" 를 포함하지 않습니다 !"});
    rig.dialog.OnCommand(rig.view, F::kFindNextButton); // the page has none to step to
    EXPECT_EQ(rig.shown().back(), kNoMore);

    // A day without a page moves only the day pointed at; the text stays.
    rig.dialog.OnDayPicked(rig.view, F::kCalendar, {2001, 9, 21});
    EXPECT_EQ(rig.view.texts[F::kResultEdit], u"no fruit");
    EXPECT_EQ(localDate(rig.dialog.foundDay), (LocalDate {2001, 9, 21}));
    EXPECT_EQ(localDate(rig.calendar.selection), (LocalDate {2001, 9, 21}));

    rig.dialog.OnDayPicked(rig.view, F::kCalendar, {2001, 9, 9});
    EXPECT_EQ(rig.view.texts[F::kResultEdit], u"two apples");
    EXPECT_EQ(rig.selection(), std::pair(4, 9));
    EXPECT_EQ(rig.messages.shown.size(), 2u);
}

TEST(Find, AMonthChangeSearchesAgainUntilTheWordIsEdited)
{
    FindRig rig;
    rig.put({2001, 10, 4}, u"October apple");
    rig.put({2001, 11, 6}, u"November apple");
    rig.put({2002, 11, 7}, u"apple a year on");
    // Before any Find nothing is searched, whatever the month.
    rig.show(2001, 10);
    rig.dialog.OnCalendarSelChange(rig.view, F::kCalendar, {2001, 10, 12});
    EXPECT_EQ(rig.calendar.dayStateCalls, 0);

    rig.show(2001, 9);
    rig.dialog.OnCalendarSelChange(rig.view, F::kCalendar, {2001, 9, 12});
    rig.find(u"apple");
    EXPECT_EQ(rig.view.texts[F::kResultEdit].substr(0, 11), u"이번 달 일기중에는 ");
    const struct {
        LocalDate day;
        std::u16string wantResult;
    } moves[] = {
        {{2001, 10, 12}, u"October apple"},
        {{2001, 10, 20}, u"October apple"}, // the same month: not searched again
        {{2001, 11, 12}, u"November apple"},
        {{2002, 11, 12}, u"apple a year on"}, // the same month number, a year later
    };
    for (const auto& m : moves) {
        rig.show(m.day.year, m.day.month);
        rig.view.texts[F::kResultEdit].clear();
        rig.dialog.OnCalendarSelChange(rig.view, F::kCalendar, m.day);
        EXPECT_EQ(rig.view.texts[F::kResultEdit], m.day.day == 20 ? u"" : m.wantResult);
    }
    EXPECT_EQ(rig.calendar.dayStateCalls, 4);

    // An edited word waits for Find; the month is remembered all the same.
    rig.type(u"October");
    rig.show(2001, 10);
    rig.dialog.OnCalendarSelChange(rig.view, F::kCalendar, {2001, 10, 12});
    EXPECT_EQ(rig.calendar.dayStateCalls, 4);
    EXPECT_EQ(localDate(rig.dialog.shownMonthDay), (LocalDate {2001, 10, 12}));
    EXPECT_EQ(rig.dialog.searchWord, u"apple");
}

TEST(Find, OnlyTheOkButtonAndAHeldResultBoxAcceptTheDay)
{
    const struct {
        const char* name;
        std::function<void(FindRig&)> act;
        bool wantAccepted;
    } cases[] = {
        {"확  인", [](FindRig& r) { r.dialog.OnCommand(r.view, F::kOkButton); }, true},
        {"held result box", [](FindRig& r) { r.dialog.OnHold(r.view, F::kResultEdit); }, true},
        {"held word box", [](FindRig& r) { r.dialog.OnHold(r.view, F::kWordEdit); }, false},
        {"caption OK", [](FindRig& r) { r.dialog.OnOK(r.view); }, false},
        {"cancel", [](FindRig& r) { r.dialog.OnCancel(r.view); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FindRig rig;
        rig.type(u"typed, never searched");
        c.act(rig);
        EXPECT_EQ(rig.view.ended.value_or(false), c.wantAccepted);
        // Before any search the dialog points at today, the day its calendar opened on.
        EXPECT_EQ(rig.dialog.foundDay, rig.calendar.todayValue);
        if (c.wantAccepted) {
            EXPECT_EQ(rig.dialog.searchWord, u"typed, never searched");
        }
    }
}

TEST(Find, TheKeyboardComesUpForTheWordBoxOnly)
{
    FindRig rig;
    for (int id : {F::kWordEdit, F::kResultEdit}) {
        rig.dialog.OnEditFocus(rig.view, id, true);
        rig.dialog.OnEditFocus(rig.view, id, false);
    }
    EXPECT_EQ(rig.panel.raised, 1);
    EXPECT_EQ(rig.panel.lowered, 1);
}
