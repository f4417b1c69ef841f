#include "DiaryRig.h"

using namespace pagelet;
using namespace pagelet::testing;

namespace {

const LocalDate kDay {2001, 6, 7};

struct ButtonState {
    int editCommand, editCell;
    int weatherCell;
    bool weatherOn, stampOn, deleteOn;
    bool editable;
};

ButtonState stateOf(DiaryRig& rig)
{
    return {rig.editButton().command, rig.editButton().cell, rig.weatherButton().cell, rig.weatherButton().enabled,
            rig.stampButton().enabled,  rig.deleteButton().enabled, rig.dialog.editor.editable};
}

void expectState(DiaryRig& rig, const ButtonState& want, const char* where)
{
    const ButtonState got = stateOf(rig);
    EXPECT_EQ(got.editCommand, want.editCommand) << where;
    EXPECT_EQ(got.editCell, want.editCell) << where;
    EXPECT_EQ(got.weatherCell, want.weatherCell) << where;
    EXPECT_EQ(got.weatherOn, want.weatherOn) << where;
    EXPECT_EQ(got.stampOn, want.stampOn) << where;
    EXPECT_EQ(got.deleteOn, want.deleteOn) << where;
    EXPECT_EQ(got.editable, want.editable) << where;
}

} // namespace

TEST(Pages, AFileHoldsExactlyTheWeatherTheLengthAndTheText)
{
    const std::vector<std::u16string> texts = {
        u"a", u" ", u"\r\n", u"\r\n\r\n  ", u"오늘은 맑음.\r\n내일은?", std::u16string(50000, u'가'),
    };
    DiaryRig rig;
    rig.startOn(kDay);
    for (const auto& text : texts) {
        rig.type(text);
        rig.dialog.weather = 2;
        EXPECT_TRUE(rig.dialog.savePage(rig.dialog.selectedDay));
        const Bytes bytes = bytesOf(rig.pageFile(kDay));
        EXPECT_EQ(bytes.size(), 8 + 2 * text.size());
        EXPECT_EQ(bytes, encodePage({2, text}));
        EXPECT_TRUE(rig.dialog.editor.saved);
    }
    // The last save was the longest; a short one after it leaves nothing of it behind.
    rig.type(u"짧다");
    EXPECT_TRUE(rig.dialog.savePage(rig.dialog.selectedDay));
    EXPECT_EQ(bytesOf(rig.pageFile(kDay)), encodePage({2, u"짧다"}));
    EXPECT_EQ(folderEntries(rig.data.root), std::vector<std::string> {"20010607.dry"});
}

TEST(Pages, AnEmptiedPageLosesItsFileAndNoEmptyFileIsEverWritten)
{
    DiaryRig rig;
    rig.putPage(kDay, u"old", 1);
    rig.startOn(kDay);
    rig.command(CMD_EDIT);
    rig.type(u"");
    EXPECT_FALSE(rig.dialog.savePage(rig.dialog.selectedDay));
    EXPECT_FALSE(fs::exists(rig.pageFile(kDay)));
    EXPECT_FALSE(rig.dialog.editor.saved); // only a written page counts as saved
    EXPECT_FALSE(rig.dialog.editor.editable);
    EXPECT_FALSE(rig.dialog.savePage(rig.dialog.selectedDay));
    EXPECT_TRUE(folderEntries(rig.data.root).empty());
}

TEST(Pages, DisplayStatesFollowTheCommands)
{
    DiaryRig rig;
    rig.putPage(kDay, u"page", 4);
    rig.startOn(kDay);
    expectState(rig, {CMD_EDIT, 1, 4, false, false, true, false}, "viewing a stored page");
    rig.command(CMD_EDIT);
    expectState(rig, {CMD_SAVE, 0, 4, true, true, true, true}, "editing a stored page");
    rig.command(CMD_SAVE);
    expectState(rig, {CMD_EDIT, 1, 4, false, false, true, false}, "saved");

    rig.command(CMD_NEXT_DAY);
    expectState(rig, {CMD_SAVE, 0, 0, true, true, false, true}, "editing a day without a page");
    EXPECT_EQ(rig.dialog.weather, 0);
    EXPECT_EQ(rig.dialog.editor.text, u"");

    // Edit on a stored page leaves the delete button as it was, even when it was off.
    rig.command(CMD_PREV_DAY);
    rig.deleteButton().enabled = false;
    rig.command(CMD_EDIT);
    EXPECT_FALSE(rig.deleteButton().enabled);
}

TEST(Pages, AFolderNamedLikeAPageIsNoPage)
{
    DiaryRig rig;
    fs::create_directory(rig.pageFile(kDay));
    rig.deleteButton().enabled = true;
    EXPECT_FALSE(rig.dialog.loadPage(fromLocal(kDay)));
    EXPECT_FALSE(rig.deleteButton().enabled);
    rig.startOn(kDay);
    rig.type(u"");
    rig.command(CMD_NEXT_DAY); // an empty page over it removes nothing
    EXPECT_TRUE(fs::is_directory(rig.pageFile(kDay)));
    EXPECT_TRUE(rig.p.messages.shown.empty());
}
