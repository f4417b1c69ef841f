// The shown day's memo against a second machine: sync tools' copies offered, a memo replaced
// from outside kept in the history, on real files.
#include "DiaryRig.h"

#include "diary/DayMemo.h"
#include "platform/VoiceRecorder.h"
#include "state/PageHistory.h"
#include "store/MemoSnapshot.h"

#include <algorithm>

using namespace pagelet;
using namespace pagelet::testing;

namespace {

const std::u16string kCopyQuestion = u"이 날의 음성 메모를 다른 곳에서 녹음한 사본이 있습니다.\n사본을 이 날의 메모로 하시겠습니까?";
const Bytes kOurs {'R', 'I', 'F', 'F', 'o', 'u', 'r', 's'};
const Bytes kTheirs {'R', 'I', 'F', 'F', 't', 'h', 'e', 'i', 'r', 's'};
const Bytes kRecorded {'R', 'I', 'F', 'F', 'n', 'e', 'w'};

struct HistoryRig : DiaryRig {
    HistoryRig() : DiaryRig("memocopy"), state("memostate")
    {
        dialog.keepHistoryUnder(state.folder());
        dialog.setDataFolder(data.folder());
    }
    fs::path memoFile() const { return data.root / "20010607.wav"; }
    // As a sync tool writes: beside, then renamed over.
    void replaceMemo(const Bytes& bytes) const
    {
        writeBytes(data.root / ".syncthing.tmp", bytes);
        fs::rename(data.root / ".syncthing.tmp", memoFile());
    }
    std::vector<Bytes> keptMemos()
    {
        PageHistory& history = *dialog.history();
        history.flush();
        std::vector<Bytes> kept;
        for (const auto& version : history.versions(kDay, true))
            kept.push_back(history.read(version).value_or(Bytes {}));
        std::reverse(kept.begin(), kept.end()); // oldest first
        return kept;
    }
    TempFolder state;
};

Bytes filled(std::size_t size, std::uint8_t value)
{
    return Bytes(size, value);
}

} // namespace

TEST(MemoCopy, OfferedWhenTheDayIsShownAndWhicheverIsKeptTheOtherGoesToTheHistory)
{
    const struct {
        const char* copy;
        bool ours; // a memo of our own beside the copy
        MessageAnswer answer;
        Bytes memoAfter;
        std::vector<Bytes> kept;
        bool copyStays;
    } cases[] = {
        {"20010607.sync-conflict-20261209-051500-ABCDEFG.wav", true, MessageAnswer::Yes, kTheirs, {kOurs}, false},
        {"20010607 (conflicted copy 2026-12-09 051500).wav", true, MessageAnswer::No, kOurs, {kTheirs}, false},
        {"20010607 (laptop's conflicted copy 2026-12-09).wav", true, MessageAnswer::Yes, kTheirs, {kOurs}, false},
        {"20010607.sync-conflict-20261209-051500-ABCDEFG.wav", false, MessageAnswer::Yes, kTheirs, {}, false},
        {"20010607.sync-conflict-20261209-051500-ABCDEFG.wav", false, MessageAnswer::No, {}, {kTheirs}, false},
        // Closed without an answer: nothing moves, and the folder's watch does not ask again.
        {"20010607.sync-conflict-20261209-051500-ABCDEFG.wav", true, MessageAnswer::Cancel, kOurs, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.copy) + (c.ours ? ", ours too" : ", no memo of ours") + ", answer " +
                     std::to_string(static_cast<int>(c.answer)));
        HistoryRig rig;
        if (c.ours)
            writeBytes(rig.memoFile(), kOurs);
        writeBytes(rig.data.root / c.copy, kTheirs);
        // A page's copy and another day's memo copy are not this question's.
        writeBytes(rig.data.root / "20010608.sync-conflict-20261209-051500-ABCDEFG.wav", kTheirs);
        rig.p.messages.answers.push_back(c.answer);
        rig.startOn({2001, 6, 6});
        rig.command(CMD_NEXT_DAY);

        ASSERT_EQ(rig.p.messages.shown.size(), 1u);
        EXPECT_EQ(rig.p.messages.shown[0].text, kCopyQuestion);
        EXPECT_EQ(rig.p.messages.shown[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(fs::exists(rig.memoFile()), !c.memoAfter.empty());
        if (!c.memoAfter.empty()) {
            EXPECT_EQ(bytesOf(rig.memoFile()), c.memoAfter);
        }
        EXPECT_EQ(fs::exists(rig.data.root / c.copy), c.copyStays);
        EXPECT_TRUE(fs::exists(rig.data.root / "20010608.sync-conflict-20261209-051500-ABCDEFG.wav"));
        EXPECT_EQ(rig.keptMemos(), c.kept);

        rig.dialog.pages().noteOutsideChange();
        EXPECT_EQ(rig.p.messages.shown.size(), 1u) << "asked once";
        EXPECT_EQ(rig.keptMemos(), c.kept) << "nothing kept twice";
    }
}

TEST(MemoCopy, AMemoReplacedOutsideIsKeptFromWhatWasReadWhenTheDayWasShown)
{
    enum class While { Shown, Removed, BigShown, Recording };
    const struct {
        const char* name;
        While when;
        Bytes ours;
    } cases[] = {
        {"replaced while shown", While::Shown, kOurs},
        {"removed while shown", While::Removed, kOurs},
        {"a memo too long to hold in memory", While::BigShown, filled(DayMemo::kHeldBytes + 1, 7)},
        {"replaced while recording, then recorded over", While::Recording, kOurs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HistoryRig rig;
        writeBytes(rig.memoFile(), c.ours);
        rig.startOn(kDay);
        // Its own save of the page is no change of the memo.
        rig.type(u"글");
        rig.command(CMD_SAVE);
        rig.dialog.pages().noteOutsideChange();
        EXPECT_TRUE(rig.keptMemos().empty());

        std::vector<Bytes> expected {c.ours};
        if (c.when == While::Recording) {
            rig.dialog.memo().startMemo({200, 10, 219, 29}); // keeps ours, as it may be recorded over
            rig.replaceMemo(kTheirs);
            rig.dialog.pages().noteOutsideChange();
            rig.replaceMemo(kRecorded); // the recording's own rename
            rig.dialog.pages().noteOutsideChange();
            rig.dialog.memo().OnNotify(kRecorderClosedOk);
            expected.push_back(kTheirs);
        } else if (c.when == While::Removed) {
            fs::remove(rig.memoFile());
            rig.dialog.pages().noteOutsideChange();
        } else {
            rig.replaceMemo(kTheirs);
            rig.dialog.pages().noteOutsideChange();
        }
        EXPECT_EQ(rig.keptMemos(), expected);
        EXPECT_TRUE(rig.p.messages.shown.empty());
    }
}

// A memo held by its file rather than in memory: a rename or a removal leaves the file whole;
// a rewrite in place gives nothing rather than the new bytes as the old.
TEST(MemoCopy, ASnapshotGivesTheBytesAsTheyWereOrNothing)
{
    const struct {
        const char* name;
        std::size_t held;
        bool inPlace;
        bool had;
    } cases[] = {
        {"in memory, renamed over", 64, false, true},
        {"in memory, rewritten in place", 64, true, true},
        {"by its file, renamed over", 4, false, true},
        {"by its file, rewritten in place", 4, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder data("snapshot");
        PlainPageStore store(data.folder());
        const fs::path memo = data.root / "20010607.wav";
        writeBytes(memo, kOurs);
        const MemoSnapshot was = store.snapshotMemo(kDay, c.held);
        EXPECT_TRUE(was.stamp().sameFile(store.memoStamp(kDay)));
        if (c.inPlace) {
            // Longer: a rewrite within the file system's clock tick leaves the time as it was.
            std::ofstream(memo, std::ios::binary | std::ios::in | std::ios::out).write("RIFFxxxxyyzz", 12);
        } else {
            writeBytes(data.root / "aside", kTheirs);
            fs::rename(data.root / "aside", memo);
        }
        EXPECT_EQ(was.bytes(), c.had ? std::optional(kOurs) : std::nullopt);
    }
}
