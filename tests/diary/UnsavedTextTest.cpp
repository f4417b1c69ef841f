// Text not yet stored stays in the editor and the journal until it is stored or given up in
// so many words: closing a question, changing day, typing, a conflict copy or a data folder
// that went away and came back never lose it. (A restore: tests/qt/WindowTest.cpp.)
#include "DiaryRig.h"

#include "state/CrashJournal.h"

#include <functional>

using namespace pagelet;
using namespace pagelet::testing;

namespace {

// A rig whose dialog keeps its journal and history under a state folder of its own.
struct StateRig : DiaryRig {
    explicit StateRig(const TempFolder& state) : DiaryRig("unsaved")
    {
        dialog.keepHistoryUnder(state.folder());
        dialog.setDataFolder(data.folder());
    }
    ~StateRig() { dialog.journal()->flush(); }
};

// The next run on the same folders, started on kDay.
struct NextStart : MainDialog {
    NextStart(fakes::FakePlatform& p, const TempFolder& state, const std::u16string& data) : MainDialog(p.ports())
    {
        keepHistoryUnder(state.folder());
        setDataFolder(data);
        editor().create({3, 40, 237, 268});
        navigation().startOn(fromLocal(kDay));
    }
};

const std::u16string kStored = u"아침에 쓴 줄";
const std::u16string kUnsaved = u"아침에 쓴 줄\r\n저장하지 못한 줄";
const std::u16string kQuestion = u"2001년 6월 7일의 저장하지 못한 일기가 있습니다.\n되살리시겠습니까?";

bool holds(const std::u16string& text, std::u16string_view line)
{
    return text.find(line) != std::u16string::npos;
}

} // namespace

// An earlier run left kUnsaved in the journal of kDay, whose stored page is kStored. The
// question is closed without an answer; then something happens on that day. At the next start
// the question comes back, and Yes brings every line back.
TEST(UnsavedText, AClosedRecoveryQuestionLosesNothingAndComesBack)
{
    struct Row {
        const char* name;
        std::function<void(StateRig&)> act;
        std::vector<std::u16string_view> kept; // lines the page and the journal hold between them
        bool askedAgain;
    };
    const std::vector<Row> rows = {
        {"the next day", [](StateRig& r) { r.command(CMD_NEXT_DAY); }, {u"저장하지 못한 줄"}, true},
        {"there and back",
         [](StateRig& r) {
             r.command(CMD_NEXT_DAY);
             r.type(u"다음 날");
             r.dialog.pageJournal().keep();
             r.dialog.day().storeShownPage();
             r.dialog.onCommand(CMD_PREV_DAY, 0, 0);
         },
         {u"저장하지 못한 줄"}, true},
        {"typing on that day",
         [](StateRig& r) {
             r.command(CMD_EDIT);
             r.type(kStored + u"\r\n새로 친 줄");
             r.dialog.pageJournal().keep();
         },
         {u"저장하지 못한 줄", u"새로 친 줄"}, true},
        {"typing and saving",
         [](StateRig& r) {
             r.type(kStored + u"\r\n새로 친 줄");
             r.dialog.pageJournal().keep();
             r.dialog.commands().onSave();
         },
         {u"저장하지 못한 줄", u"새로 친 줄"}, true},
        {"No to saving at the close",
         [](StateRig& r) {
             r.type(u"버릴 줄");
             r.dialog.pageJournal().keep();
             r.p.messages.answers = {MessageAnswer::No};
             r.dialog.OnClose();
         },
         {u"저장하지 못한 줄"}, true},
        {"deleting the day",
         [](StateRig& r) {
             r.p.messages.answers = {MessageAnswer::Yes};
             r.command(CMD_DELETE);
         },
         {}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder state("unsaved-state");
        std::u16string data;
        {
            StateRig rig(state);
            data = rig.data.folder();
            rig.putPage(kDay, kStored);
            CrashJournal(StateFolder(state.folder(), data)).keep(kDay, {0, kUnsaved});
            rig.startOn(kDay);
            rig.p.messages.answers = {MessageAnswer::Cancel};
            rig.dialog.recovery().offerJournal();
            ASSERT_EQ(rig.p.messages.shown.size(), 1u);
            EXPECT_EQ(rig.p.messages.shown[0].text, kQuestion);
            EXPECT_EQ(rig.dialog.editor().text.get(), kStored) << "nothing taken without a Yes";
            rig.p.messages.shown.clear();
            row.act(rig);
            ASSERT_TRUE(rig.dialog.journal()->flush());

            const auto pending = rig.dialog.journal()->pending();
            const LoadedPage stored = rig.dialog.pages().read(kDay);
            std::u16string both = stored.page.text;
            for (const auto& entry : pending)
                both += u"\n" + entry.page.text;
            for (std::u16string_view line : row.kept)
                EXPECT_TRUE(holds(both, line)) << toUtf8(std::u16string(line));

            // The next start: the question again, and Yes shows every line kept.
            fakes::FakePlatform p;
            NextStart next(p, state, data);
            p.messages.answers = {MessageAnswer::Yes};
            next.recovery().offerJournal();
            EXPECT_EQ(p.messages.shown.size(), row.askedAgain ? 1u : 0u);
            for (std::u16string_view line : row.kept)
                EXPECT_TRUE(holds(next.editor().text.get(), line)) << toUtf8(std::u16string(line));
            next.journal()->flush();
        }
    }
}

// Two days left in the journal, the shown day among them: Yes to the earlier one stores the shown
// page before it moves, and that store must not give up the shown day's journal, which is asked
// for at the next start.
TEST(UnsavedText, TakingOneJournalKeepsTheShownDaysForTheNextStart)
{
    TempFolder state("unsaved-state");
    const LocalDate earlier {2001, 6, 6};
    std::u16string data;
    {
        StateRig rig(state);
        data = rig.data.folder();
        rig.putPage(kDay, kStored);
        CrashJournal journal(StateFolder(state.folder(), data));
        journal.keep(earlier, {0, u"어제 못 쓴 줄"});
        journal.keep(kDay, {0, kUnsaved});
        journal.flush();
        rig.startOn(kDay);
        rig.p.messages.answers = {MessageAnswer::Yes};
        rig.dialog.recovery().offerJournal();
        ASSERT_EQ(rig.shown(), earlier);
        EXPECT_TRUE(holds(rig.dialog.editor().text.get(), u"어제 못 쓴 줄"));
    }
    fakes::FakePlatform p;
    NextStart next(p, state, data);
    p.messages.answers = {MessageAnswer::No, MessageAnswer::Yes};
    next.recovery().offerJournal();
    ASSERT_EQ(p.messages.shown.size(), 2u);
    EXPECT_EQ(p.messages.shown[1].text, kQuestion);
    EXPECT_TRUE(holds(next.editor().text.get(), u"저장하지 못한 줄"));
    next.journal()->flush();
}

// A sync tool's copy of the day met at start while the journal's text is shown goes into the
// editor with it, so what is stored holds both and no later store writes over the copy's lines.
TEST(UnsavedText, AConflictCopyMergesIntoTheTextTakenBack)
{
    TempFolder state("unsaved-state");
    StateRig rig(state);
    rig.putPage(kDay, kStored);
    const fs::path copy = rig.data.root / "20010607.sync-conflict-20010607-101010-ABC.dry";
    writeBytes(copy, encodePage({0, kStored + u"\r\n사본의 줄"}));
    CrashJournal(StateFolder(state.folder(), rig.data.folder())).keep(kDay, {0, kUnsaved});
    rig.startOn({2001, 6, 6});
    rig.p.messages.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    rig.dialog.recovery().offerJournal();
    ASSERT_EQ(rig.shown(), kDay);
    for (const std::u16string& text : {rig.dialog.editor().text.get(), rig.dialog.pages().read(kDay).page.text})
        for (std::u16string_view line : {u"저장하지 못한 줄", u"사본의 줄"})
            EXPECT_TRUE(holds(text, line)) << toUtf8(text);
    EXPECT_FALSE(fs::exists(copy));
    rig.type(rig.dialog.editor().text.get() + u"\r\n더");
    ASSERT_TRUE(rig.dialog.day().storeShownPage());
    EXPECT_TRUE(holds(rig.dialog.pages().read(kDay).page.text, u"사본의 줄"));
}

// The data folder renamed away while its page is shown, then back: nothing changed elsewhere,
// whether the page was only looked at meanwhile or a save of it failed, so the text is stored as
// it is, without a merge or its message.
TEST(UnsavedText, AFolderAwayAndBackIsNoOutsideChange)
{
    for (const bool savedWhileAway : {false, true}) {
        SCOPED_TRACE(savedWhileAway ? "a save while away" : "looked at while away");
        DiaryRig rig;
        rig.putPage(kDay, u"그대로인 일기");
        rig.startOn(kDay);
        const fs::path away = rig.data.root.string() + "-away";
        if (savedWhileAway) {
            rig.command(CMD_EDIT);
            rig.type(u"그대로인 일기\r\n덧붙인 줄");
        }
        fs::rename(rig.data.root, away);
        if (savedWhileAway)
            EXPECT_FALSE(rig.dialog.day().storeShownPage());
        else
            rig.dialog.pages().noteOutsideChange();
        EXPECT_EQ(rig.dialog.editor().text.get().substr(0, 7), u"그대로인 일기") << "a folder away deletes no page";
        fs::rename(away, rig.data.root);
        rig.dialog.pages().noteOutsideChange();
        rig.command(CMD_EDIT);
        rig.type(u"그대로인 일기\r\n덧붙인 줄");
        ASSERT_TRUE(rig.dialog.day().storeShownPage());
        for (const auto& message : rig.p.messages.shown)
            EXPECT_NE(message.text, textOf(TextId::MergedOutsideChange));
        EXPECT_EQ(bytesOf(rig.pageFile(kDay)), encodePage({0, u"그대로인 일기\r\n덧붙인 줄"}));
    }
}
