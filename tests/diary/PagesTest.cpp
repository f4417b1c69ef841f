#include "DiaryRig.h"

#include "base/IoFault.h"

using namespace pagelet;
using namespace pagelet::testing;

namespace {
const std::vector<int> kNewPage {CMD_SAVE, 0, 0, true, true, false, true};
}

TEST(Pages, AFileHoldsExactlyTheWeatherTheLengthAndTheText)
{
    DiaryRig rig;
    rig.startOn(kDay);
    // Blank lines are a page too; a short page after a long one leaves nothing of it behind.
    for (const auto& text : std::vector<std::u16string> {u" \r\n", u"오늘은 맑음.\r\n내일은?", std::u16string(50000, u'가'), u"짧다"}) {
        rig.type(text);
        rig.dialog.day().setWeather(2);
        EXPECT_TRUE(rig.dialog.day().savePage(rig.dialog.day().selectedDay()));
        EXPECT_EQ(files(rig.data.root), (Files {{"20010607.dry", encodePage({2, text})}}));
        EXPECT_TRUE(rig.dialog.editor().saved);
    }
}

TEST(Pages, DisplayStatesAndWeatherFollowTheCommands)
{
    DiaryRig rig;
    rig.putPage(kDay, u"page", 4);
    rig.startOn(kDay);
    EXPECT_EQ(rig.state(), (std::vector<int> {CMD_EDIT, 1, 4, false, false, true, false}));
    rig.command(CMD_EDIT);
    EXPECT_EQ(rig.state(), (std::vector<int> {CMD_SAVE, 0, 4, true, true, true, true}));
    rig.command(CMD_NEXT_DAY);
    EXPECT_EQ(rig.state(), kNewPage);
    EXPECT_EQ(rig.dialog.day().weather(), 0);
    EXPECT_EQ(rig.dialog.editor().text, u"");

    // Five taps go round the marks; each tap is a change the close asks about.
    std::vector<int> cells;
    for (int i = 0; i < 6; ++i) {
        rig.command(CMD_WEATHER);
        cells.push_back(rig.weatherButton().cell);
    }
    EXPECT_EQ(cells, (std::vector<int> {1, 2, 3, 4, 0, 1}));
    EXPECT_EQ(rig.dialog.day().weather(), 1);
    EXPECT_FALSE(rig.dialog.editor().saved);

    // Saved on a new day, its delete button stays off until the day is loaded again.
    rig.type(u"w");
    rig.command(CMD_SAVE);
    EXPECT_EQ(bytesOf(rig.pageFile({2001, 6, 8})), encodePage({1, u"w"}));
    EXPECT_EQ(rig.state(), (std::vector<int> {CMD_EDIT, 1, 1, false, false, false, false}));
    rig.command(CMD_PREV_DAY);
    rig.command(CMD_NEXT_DAY);
    EXPECT_EQ(rig.state(), (std::vector<int> {CMD_EDIT, 1, 1, false, false, true, false}));

    // Edit on a stored page leaves the delete button as it was, even when it was off.
    rig.deleteButton().enabled = false;
    rig.command(CMD_EDIT);
    EXPECT_FALSE(rig.deleteButton().enabled);

    // A skin without a weather button: the mark stays.
    rig.dialog.skin().elements.erase(rig.dialog.skin().elements.begin());
    rig.command(CMD_WEATHER);
    EXPECT_EQ(rig.dialog.day().weather(), 1);
}

TEST(Pages, AFolderNamedLikeAPageIsNoPage)
{
    DiaryRig rig;
    fs::create_directory(rig.pageFile(kDay));
    rig.deleteButton().enabled = true;
    rig.startOn(kDay);
    EXPECT_EQ(rig.state(), kNewPage);
    rig.command(CMD_NEXT_DAY); // leaving it empty removes nothing
    EXPECT_TRUE(fs::is_directory(rig.pageFile(kDay)));
    EXPECT_TRUE(rig.p.messages.shown.empty());
}

TEST(Pages, OnlyAChangedPageIsWrittenSoAReadOnlyFolderCanBeBrowsed)
{
    struct Case {
        const char* what;
        std::function<void(DiaryRig&)> act;
        bool changed;
    };
    const std::vector<Case> cases = {
        {"viewed", [](DiaryRig&) {}, false},
        {"edited and saved as it was", [](DiaryRig& r) { r.command(CMD_EDIT); r.command(CMD_SAVE); }, false},
        {"typed and undone", [](DiaryRig& r) { r.type(u"page!"); r.type(u"page"); }, false},
        {"weather tapped", [](DiaryRig& r) { r.command(CMD_EDIT); r.command(CMD_WEATHER); }, true},
        {"time stamped", [](DiaryRig& r) { r.command(CMD_EDIT); r.command(CMD_TIMESTAMP); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DiaryRig rig;
        rig.putPage(kDay, u"page", 2);
        const Files before = files(rig.data.root);
        rig.startOn(kDay);
        // As on a read-only folder: every write and removal fails.
        IoFault::arm(IoStep::Open, EROFS, IoFault::Repeat::Always);
        IoFault::arm(IoStep::Remove, EROFS, IoFault::Repeat::Always);
        c.act(rig);
        EXPECT_FALSE(c.changed && rig.dialog.editor().saved); // the close asks about a change
        rig.command(CMD_NEXT_DAY);
        IoFault::disarmAll();
        EXPECT_EQ(rig.p.messages.shown.size(), c.changed ? 1u : 0u);
        EXPECT_EQ(rig.shown(), (c.changed ? kDay : LocalDate {2001, 6, 8}));
        EXPECT_EQ(rig.dialog.editor().saved, !c.changed);
        EXPECT_EQ(files(rig.data.root), before);
    }
}
