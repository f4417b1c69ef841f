#include "DiaryRig.h"

#include "base/IoFault.h"
#include "platform/VoiceRecorder.h"

using namespace pagelet;
using namespace pagelet::testing;

namespace {

const std::u16string kDeletePage = u"일기를 정말로 지우시겠습니까?";
const std::u16string kDeleteMemo = u"녹음된 데이터를 정말로 지우시겠습니까?";
const fakes::ShownMessage kCannotDelete {u"일기를 지울 수 없습니다.\n데이터 폴더를 확인하시기 바랍니다.", u"Pagelet",
                                         MessageButtons::Ok, MessageIcon::Exclamation};
const Rect kMemoButton {200, 10, 219, 29};

struct MemoRig : DiaryRig {
    MemoRig() : DiaryRig("memo")
    {
        dialog.skin().AddSkinElement(kMemoButton, nullptr, 0, CMD_VOICE);
        memoButton().wParam = reinterpret_cast<std::intptr_t>(&memoButton().rect);
    }
    SkinElement& memoButton() { return *dialog.skin().elements.back(); }
    fs::path memoFile() const { return data.root / "20010607.wav"; }
    void putMemo() const { writeBytes(memoFile(), {'R', 'I', 'F', 'F'}); }
    void pressMemo() { dialog.onCommand(CMD_VOICE, memoButton().wParam, memoButton().lParam); }
    bool memoRepainted() const
    {
        const auto& r = p.window.invalidatedRects;
        return std::find(r.begin(), r.end(), kMemoButton.inflated(1)) != r.end();
    }
};

} // namespace

TEST(DeletePage, OnlyYesErasesBothFilesAndLeavesAnEmptyPageToWrite)
{
    for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        SCOPED_TRACE(answer == MessageAnswer::Yes ? "yes" : "no");
        MemoRig rig;
        rig.putPage(kDay, u"지울 글", 2);
        rig.putMemo();
        rig.startOn(kDay);
        rig.dialog.calendar().scanDayMarks();
        const auto masks = rig.p.calendar.masks;
        const Files before = files(rig.data.root);
        rig.p.messages.answers.push_back(answer);
        rig.command(CMD_DELETE);

        ASSERT_EQ(rig.p.messages.shown.size(), 1u);
        EXPECT_EQ(rig.p.messages.shown[0].text, kDeletePage);
        EXPECT_EQ(rig.p.messages.shown[0].icon, MessageIcon::Question);
        if (answer == MessageAnswer::No) {
            EXPECT_EQ(files(rig.data.root), before);
            EXPECT_EQ(rig.dialog.editor().text, u"지울 글");
            EXPECT_FALSE(rig.dialog.editor().editable);
            continue;
        }
        EXPECT_TRUE(files(rig.data.root).empty());
        EXPECT_EQ(rig.dialog.editor().text, u"");
        EXPECT_TRUE(rig.dialog.editor().editable);
        EXPECT_EQ(rig.dialog.day().weather(), 2);
        EXPECT_EQ(rig.p.calendar.masks, masks); // still bold until the next scan
        EXPECT_TRUE(rig.memoRepainted());
        EXPECT_EQ(rig.p.window.wholeInvalidations, 0);
        // Leaving the untouched empty page leaves no file behind.
        rig.command(CMD_NEXT_DAY);
        EXPECT_TRUE(files(rig.data.root).empty());
    }
}

TEST(DeletePage, TheSameTextWrittenAgainIsStoredAgain)
{
    MemoRig rig;
    rig.putPage(kDay, u"지울 글", 2);
    rig.startOn(kDay);
    rig.p.messages.answers.push_back(MessageAnswer::Yes);
    rig.command(CMD_DELETE);
    rig.dialog.editor().insertText(u"지울 글");
    rig.command(CMD_NEXT_DAY);
    EXPECT_EQ(files(rig.data.root).size(), 1u);
}

TEST(DeletePage, AFileThatCannotGoKeepsBothFilesAndThePage)
{
    const struct {
        const char* name;
        bool blockMemo; // the memo's aside name is taken by a folder that can't be replaced
    } cases[] = {{"the page can't be moved", false}, {"the memo can't, after the page could", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoRig rig;
        rig.putPage(kDay, u"남을 글");
        rig.putMemo();
        if (c.blockMemo)
            fs::create_directories(rig.data.root / ".pagelet-tmp-20010607.wav.gone" / "full");
        else
            IoFault::arm(IoStep::Rename, EACCES, IoFault::Repeat::Always);
        rig.startOn(kDay);
        const Files before = files(rig.data.root);
        rig.p.messages.answers.push_back(MessageAnswer::Yes);
        rig.command(CMD_DELETE);
        IoFault::disarmAll();

        EXPECT_EQ(rig.p.messages.shown.back(), kCannotDelete);
        EXPECT_EQ(files(rig.data.root), before);
        EXPECT_EQ(rig.dialog.editor().text, u"남을 글");
        EXPECT_FALSE(rig.dialog.editor().editable);
    }
}

TEST(VoiceMemo, TheRecorderOpensBesideTheButtonOnTheDaysMemoWithTheCaretHidden)
{
    MemoRig rig;
    rig.startOn(kDay);
    const int hides = rig.p.edit.caretHides;
    rig.pressMemo();

    ASSERT_EQ(rig.p.recorder.created.size(), 1u);
    const VoiceRecorderRecord& r = rig.p.recorder.created[0];
    EXPECT_EQ(std::vector<std::int64_t>({r.size, r.style, r.x, r.y, r.id}), std::vector<std::int64_t>({28, 0x44, 220, 10, 102}));
    EXPECT_EQ(r.parent, &rig.p.window);
    EXPECT_EQ(r.fileName, rig.data.folder() + u"20010607.wav");
    EXPECT_EQ(rig.dialog.memo().recorderWindow(), rig.p.recorder.handle);
    EXPECT_EQ(rig.p.edit.caretHides, hides + 1);
}

TEST(VoiceMemo, ClosingCodesAskOnlyOnCancelWithAMemoAndBringTheCaretBackWhenEditing)
{
    const struct {
        const char* name;
        int code;
        bool memo;
        MessageAnswer answer;
        bool editing;
        bool asked, memoAfter, caretBack;
        bool removeFails = false;
    } cases[] = {
        {"OK keeps the memo", kRecorderClosedOk, true, MessageAnswer::Yes, true, false, true, true},
        {"OK in view mode", kRecorderClosedOk, true, MessageAnswer::Yes, false, false, true, false},
        {"Cancel without memo", kRecorderClosedCancel, false, MessageAnswer::Yes, true, false, false, true},
        {"Cancel, No", kRecorderClosedCancel, true, MessageAnswer::No, true, true, true, true},
        {"Cancel, Yes", kRecorderClosedCancel, true, MessageAnswer::Yes, false, true, false, false},
        {"another notification", -2, true, MessageAnswer::Yes, true, false, true, false},
        {"Cancel, Yes, the memo can't go", kRecorderClosedCancel, true, MessageAnswer::Yes, true, true, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoRig rig;
        if (!c.editing)
            rig.putPage(kDay, u"글");
        rig.startOn(kDay);
        rig.pressMemo();
        if (c.memo)
            rig.putMemo();
        rig.p.messages.answers.push_back(c.answer);
        const int shows = rig.p.edit.caretShows;
        if (c.removeFails)
            IoFault::arm(IoStep::Remove, EBUSY, IoFault::Repeat::Once);
        rig.dialog.OnNotify(c.code);
        IoFault::disarmAll();

        EXPECT_EQ(rig.p.messages.shown.size(), (c.asked ? 1u : 0u) + (c.removeFails ? 1u : 0u));
        if (c.removeFails) {
            EXPECT_EQ(rig.p.messages.shown.back(), kCannotDelete);
        }
        if (c.asked) {
            EXPECT_EQ(rig.p.messages.shown[0].text, kDeleteMemo);
            EXPECT_EQ(rig.p.messages.shown[0].buttons, MessageButtons::YesNoDefaultNo) << "Return alone never erases";
        }
        EXPECT_EQ(fs::exists(rig.memoFile()), c.memoAfter);
        EXPECT_EQ(rig.p.edit.caretShows, shows + (c.caretBack ? 1 : 0));
        EXPECT_EQ(rig.memoRepainted(), c.code != -2);
    }
}
