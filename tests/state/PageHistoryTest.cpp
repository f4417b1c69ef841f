#include "state/HistoryRestore.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "store/LineMerge.h"
#include "store/PlainPageStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <unistd.h>

using namespace pagelet;

namespace {

constexpr std::int64_t kHour = 3600ll * 1000;
constexpr std::int64_t kDay = 24 * kHour;
const LocalDate kDate {2026, 12, 1};

struct Rig {
    std::filesystem::path path = std::filesystem::temp_directory_path() / ("pagelet-history-" + std::to_string(::getpid()));
    std::int64_t clock = 1796083200000; // 2026-12-01 00:00 UTC
    std::u16string data;
    PlainPageStore pages;
    PageHistory history;

    explicit Rig(std::uint64_t limit = PageHistory::kDefaultLimit)
        : data((std::filesystem::remove_all(path), std::filesystem::create_directories(path / "data"),
                fromUtf8((path / "data/").string()))),
          pages(data), history(StateFolder(fromUtf8((path / "state/Pagelet/").string()), data), [this] { return clock; }, limit)
    {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        pages.setKeeper(&history);
    }
    ~Rig() { std::filesystem::remove_all(path); }

    void save(const std::u16string& text) { ASSERT_NE(pages.write(kDate, {0, text}), StoreResult::Failed); clock += kHour; }
    std::vector<std::u16string> kept(bool memo = false) const
    {
        std::vector<std::u16string> texts;
        for (const auto& version : history.versions(kDate, memo)) {
            const auto bytes = history.read(version);
            const auto page = memo ? std::optional<Page>() : decodePage(*bytes);
            texts.push_back(page ? page->text : std::u16string(bytes->begin(), bytes->end()));
        }
        return texts;
    }
};

} // namespace

TEST(PageHistory, KeepsWhatEachChangeReplaces)
{
    struct Row {
        const char* name;
        std::function<void(Rig&)> steps;
        std::vector<std::u16string> kept; // newest first
        std::u16string page;              // what the page holds after
    };
    const Row rows[] = {
        {"saves keep the page before", [](Rig& r) { r.save(u"a"); r.save(u"b"); r.save(u"c"); }, {u"b", u"a"}, u"c"},
        {"equal bytes kept once", [](Rig& r) { r.save(u"a"); r.save(u"b"); r.save(u"a"); r.save(u"b"); }, {u"b", u"a"}, u"b"},
        {"a delete keeps the page", [](Rig& r) { r.save(u"a"); ASSERT_TRUE(r.pages.remove(kDate)); }, {u"a"}, u""},
        {"a merge keeps the other writer's page",
         [](Rig& r) {
             r.save(u"one\r\ntwo");
             // Another writer changed the file behind the store's back.
             ASSERT_TRUE(writeFileAtomic(r.pages.pagePath(kDate), encodePage({0, u"one\r\nTWO"})));
             const auto merged = mergePages({0, u"one\r\ntwo"}, {0, u"ONE\r\ntwo"}, {0, u"one\r\nTWO"}, u"-");
             ASSERT_NE(r.pages.write(kDate, merged.page), StoreResult::Failed);
         },
         {u"one\r\nTWO"}, u"ONE\r\nTWO"},
        {"a restore keeps the page it replaces",
         [](Rig& r) {
             r.save(u"a"); r.save(u"b"); r.save(u"c");
             ASSERT_EQ(restoreVersion(r.pages, r.history, kDate, 2), StoreResult::Written);
         },
         {u"c", u"b", u"a"}, u"a"},
        {"a version that isn't there restores nothing",
         [](Rig& r) { r.save(u"a"); r.save(u"b"); EXPECT_EQ(restoreVersion(r.pages, r.history, kDate, 2), StoreResult::Failed); },
         {u"a"}, u"b"},
        {"a month on, one a day stays",
         [](Rig& r) {
             r.save(u"a"); r.save(u"b"); r.save(u"c"); r.save(u"d"); // a, b, c kept on the 1st
             r.clock += kDay;
             r.save(u"e"); // d kept on the 2nd
             r.clock += 30 * kDay;
             r.save(u"f"); // e kept today; the 1st thins to c, the 2nd's d was alone
         },
         {u"e", u"d", u"c"}, u"f"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Rig rig;
        row.steps(rig);
        EXPECT_EQ(rig.kept(), row.kept);
        EXPECT_EQ(rig.pages.read(kDate).page.text, row.page);
    }
}

// Every version of the last 30 days stays; before that, only the newest of each day.
TEST(PageHistory, TheThirtyDayWindowEndsExactlyThirtyDaysBack)
{
    const struct {
        std::int64_t age; // of "b"; "a" was replaced an hour before it, on the same day
        std::vector<std::u16string> kept;
    } rows[] = {
        {29 * kDay, {u"b", u"a"}},
        {30 * kDay - 1, {u"b", u"a"}},
        {30 * kDay, {u"b", u"a"}},
        {30 * kDay + 1, {u"b"}},
        {31 * kDay, {u"b"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.age);
        Rig rig;
        rig.save(u"a");
        rig.save(u"b"); // keeps "a"
        const std::int64_t replaced = rig.clock;
        rig.save(u"c"); // keeps "b"
        rig.clock = replaced + row.age;
        rig.history.thin();
        EXPECT_EQ(rig.kept(), row.kept);
    }
}

TEST(PageHistory, MemosKeepThreeAndTheSizeLimitDropsTheOldest)
{
    Rig memos;
    // Erased, or recorded over (the recorder writes the memo's file itself).
    for (char c : std::string("vwxyz")) {
        ASSERT_TRUE(writeFileAtomic(memos.pages.memoPath(kDate), Bytes(40, static_cast<std::uint8_t>(c))));
        memos.clock += kHour;
        if (c < 'y')
            ASSERT_TRUE(memos.pages.removeMemo(kDate));
        else
            memos.pages.keepMemo(kDate);
    }
    EXPECT_EQ(memos.kept(true), (std::vector<std::u16string> {std::u16string(40, u'z'), std::u16string(40, u'y'), std::u16string(40, u'x')}));

    // Pages of 8 + 2 * 20 bytes: two fit in 100, the third pushes out the oldest.
    Rig small(100);
    for (char16_t c : std::u16string(u"pqrs"))
        small.save(std::u16string(20, c));
    EXPECT_EQ(small.kept(), (std::vector<std::u16string> {std::u16string(20, u'r'), std::u16string(20, u'q')}));
}

TEST(PageHistory, AFailedKeepNeverFailsTheSaveAndIsSaidOnce)
{
    Rig rig;
    // The state folder can't be made where a file stands.
    std::filesystem::create_directories(rig.path / "state");
    ASSERT_TRUE(writeFileAtomic(fromUtf8((rig.path / "state/Pagelet").string()), Bytes {1}));
    int told = 0;
    rig.history.failed = [&told] { ++told; };
    rig.save(u"a");
    rig.save(u"b");
    rig.save(u"c");
    EXPECT_EQ(rig.pages.read(kDate).page.text, u"c");
    rig.history.flush(); // versions are written on the history's thread
    EXPECT_EQ(told, 1);
    EXPECT_FALSE(rig.history.takeFailure());
}

TEST(PageHistory, ListsVersionsNewestFirstAsOneLineEach)
{
    Rig rig;
    rig.save(u"first\r\nmore");
    rig.save(u"se\x01" u"cond");
    rig.save(u"third");
    EXPECT_EQ(historyLines(rig.history, kDate),
              (std::vector<std::u16string> {u"1  2026-12-01 02:00:00  22  se\uFFFD" u"cond", u"2  2026-12-01 01:00:00  30  first"}));
}
