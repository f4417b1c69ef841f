#include "DiaryRig.h"

#include "text/Catalogue.h"

#include <cstdio>

using namespace pagelet;
using namespace pagelet::testing;

namespace {

const std::u16string kMerged = u"이 날의 일기가 다른 곳에서 바뀌었습니다.\n두 내용을 합쳐 저장했습니다.";

// How sync tools write: beside the page, then renamed over it.
void replaceBehind(const fs::path& page, const Page& with)
{
    const fs::path beside = page.string() + ".syncing";
    writeBytes(beside, encodePage(with));
    fs::rename(beside, page);
}

} // namespace

TEST(SecondWriter, AnEditedPageReplacedBehindTheWindowIsMergedStoredAndSaidOnce)
{
    DiaryRig rig;
    rig.putPage(kDay, u"아침", 1);
    rig.startOn(kDay);
    rig.command(CMD_EDIT);
    rig.type(u"아침\r\n점심");
    replaceBehind(rig.pageFile(kDay), {3, u"아침\r\n저녁"});
    rig.command(CMD_NEXT_DAY);
    EXPECT_EQ(bytesOf(rig.pageFile(kDay)), encodePage({3, u"아침\r\n점심\r\n저녁"}));
    ASSERT_EQ(rig.p.messages.shown.size(), 1u);
    EXPECT_EQ(rig.p.messages.shown[0].text, kMerged);

    // Our own write is known: back on the day and out again, nothing is merged or said.
    rig.command(CMD_PREV_DAY);
    rig.command(CMD_EDIT);
    rig.type(u"아침\r\n점심\r\n저녁\r\n밤");
    rig.command(CMD_SAVE);
    EXPECT_EQ(bytesOf(rig.pageFile(kDay)), encodePage({3, u"아침\r\n점심\r\n저녁\r\n밤"}));
    EXPECT_EQ(rig.p.messages.shown.size(), 1u);

    // Saved in place over a page whose weather changed elsewhere: the button shows that weather.
    rig.command(CMD_EDIT);
    rig.type(u"아침\r\n점심\r\n저녁\r\n밤\r\n새벽");
    replaceBehind(rig.pageFile(kDay), {4, u"아침\r\n점심\r\n저녁\r\n밤"});
    rig.command(CMD_SAVE);
    EXPECT_EQ(bytesOf(rig.pageFile(kDay)), encodePage({4, u"아침\r\n점심\r\n저녁\r\n밤\r\n새벽"}));
    EXPECT_EQ(rig.weatherButton().cell, 4);
    EXPECT_EQ(rig.p.messages.shown.size(), 2u);

    // Deleted elsewhere while edited here: ours comes back as a new page.
    rig.command(CMD_EDIT);
    rig.type(u"다시");
    fs::remove(rig.pageFile(kDay));
    rig.command(CMD_SAVE);
    EXPECT_EQ(bytesOf(rig.pageFile(kDay)), encodePage({4, u"다시"}));
}

TEST(SecondWriter, AViewedPageFollowsTheOtherWriterAndTheTrashSparesAChangedPage)
{
    DiaryRig rig;
    rig.putPage(kDay, u"처음", 2);
    rig.startOn(kDay);

    // The platform's folder watch tells the store; an unchanged file shows nothing new.
    rig.dialog.pages().noteOutsideChange();
    EXPECT_EQ(rig.dialog.editor().text, u"처음");
    replaceBehind(rig.pageFile(kDay), {4, u"처음\r\n다른 기계"});
    rig.dialog.pages().noteOutsideChange();
    EXPECT_EQ(rig.dialog.editor().text, u"처음\r\n다른 기계");
    EXPECT_EQ(rig.weatherButton().cell, 4);
    rig.command(CMD_NEXT_DAY);
    EXPECT_EQ(bytesOf(rig.pageFile(kDay)), encodePage({4, u"처음\r\n다른 기계"})) << "a viewed page is never written";
    EXPECT_TRUE(rig.p.messages.shown.empty());

    // The trash on a page changed since shown deletes nothing and shows the new one.
    rig.command(CMD_PREV_DAY);
    replaceBehind(rig.pageFile(kDay), {0, u"또 바뀜"});
    rig.p.messages.answers = {MessageAnswer::Yes};
    rig.command(CMD_DELETE);
    EXPECT_TRUE(fs::exists(rig.pageFile(kDay)));
    EXPECT_EQ(rig.dialog.editor().text, u"또 바뀜");
    ASSERT_EQ(rig.p.messages.shown.size(), 2u);
    EXPECT_EQ(rig.p.messages.shown[1].text, textOf(TextId::NotDeletedChangedOutside));
}

TEST(SecondWriter, ASyncToolsConflictCopyIsOfferedAndTakenIntoThePage)
{
    DiaryRig rig;
    rig.putPage(kDay, u"a\r\nb");
    const fs::path copy = rig.data.root / "20010607.sync-conflict-20010607-101010-ABC.dry";
    const fs::path kept = rig.data.root / "20010607 (conflicted copy 2001-06-07 101010).dry";
    writeBytes(copy, encodePage({1, u"a\r\nc"}));
    writeBytes(kept, encodePage({0, u"x"}));
    writeBytes(rig.data.root / "20010608.sync-conflict-1.dry", encodePage({0, u"other day"}));
    rig.p.messages.answers = {MessageAnswer::No, MessageAnswer::Yes}; // by name: the Nextcloud copy first
    rig.startOn({2001, 6, 6});
    rig.command(CMD_NEXT_DAY);
    EXPECT_EQ(rig.p.messages.shown.size(), 2u);
    EXPECT_EQ(bytesOf(rig.pageFile(kDay)), encodePage({1, u"a\r\nb\r\nc"}));
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_TRUE(fs::exists(kept)) << "left as it was when the answer was No";
    // Each copy is asked about once.
    rig.command(CMD_PREV_DAY);
    rig.command(CMD_NEXT_DAY);
    EXPECT_EQ(rig.p.messages.shown.size(), 2u);
}
