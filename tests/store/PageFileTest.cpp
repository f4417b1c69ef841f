#include "diary/DiaryRig.h"

#include <set>
#include <sys/stat.h>

using namespace pagelet;
using namespace pagelet::testing;

TEST(DateKey, NamesTheLocalDate)
{
    // The tests run east of UTC: local midnight is still the day before in UTC.
    struct Case {
        LocalDate date;
        int hour, minute, second;
        std::u16string key;
    };
    const std::vector<Case> cases = {
        {{2001, 6, 7}, 0, 0, 0, u"20010607"},
        {{2001, 12, 31}, 23, 59, 59, u"20011231"},
        {{2040, 2, 29}, 8, 0, 0, u"20400229"}, // past 2038: needs 64-bit seconds
    };
    for (const auto& c : cases)
        EXPECT_EQ(makeDateKey(fromLocal(c.date, c.hour, c.minute, c.second)), c.key) << toUtf8(c.key);
}

// Every page, memo and conflict copy name is made and read back by one parser; anything
// else in a data folder is no diary file.
TEST(DayFileName, NamesRoundTripAndJunkIsRefused)
{
    for (const LocalDate& date : {LocalDate {1000, 1, 1}, LocalDate {2024, 2, 29}, LocalDate {9999, 12, 31}})
        for (DayFileKind kind : {DayFileKind::Page, DayFileKind::Memo})
            EXPECT_EQ(parseDayFileName(dayFileName(date, kind)), (DayFileName {date, kind, false}))
                << toUtf8(dayFileName(date, kind));
    EXPECT_EQ(dayFileName({2001, 6, 7}, DayFileKind::Page), u"20010607.dry");
    EXPECT_EQ(dayFileName({2001, 6, 7}, DayFileKind::Memo), u"20010607.wav");

    const LocalDate day {2001, 6, 7};
    const struct {
        const char* name;
        std::optional<DayFileName> file;
    } cases[] = {
        {"20010607.sync-conflict-20010608-101010-ABCDEFG.dry", DayFileName {day, DayFileKind::Page, true}},
        {"20010607.sync-conflict-20010608-101010-ABCDEFG.wav", DayFileName {day, DayFileKind::Memo, true}},
        {"20010607 (conflicted copy 2001-06-08).wav", DayFileName {day, DayFileKind::Memo, true}},
        {"20010607 (laptop's conflicted copy 2001-06-08).dry", DayFileName {day, DayFileKind::Page, true}},
        {"20010607.txt", std::nullopt},
        {"20010607.dry.bad", std::nullopt},
        {"20010607x.dry", std::nullopt},
        {"20010607 (copy).dry", std::nullopt},
        {"20010607.wav.sync-conflict-x", std::nullopt},
        {"2001060.dry", std::nullopt},
        {"20010632.dry", std::nullopt},
        {"20250229.wav", std::nullopt},
        {"09990101.dry", std::nullopt},
        {"abcdefgh.wav", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseDayFileName(fromUtf8(c.name)), c.file) << c.name;
        EXPECT_EQ(isDiaryFileName(fromUtf8(c.name)), c.file.has_value()) << c.name;
    }
}

TEST(PageFile, EncodesWeatherLengthAndLittleEndianUnits)
{
    const Bytes want = {3, 0, 0, 0, 4, 0, 0, 0, 0x00, 0xAC, 0x0D, 0x00, 0x0A, 0x00, 0x41, 0x00};
    EXPECT_EQ(encodePage({3, u"가\r\nA"}), want);
}

// Through the store, as the program reads them; the bytes alone decode the same.
TEST(PageFile, DecodesDamagedFilesWithoutReadingPastTheEnd)
{
    struct Case {
        const char* what;
        Bytes bytes;
        std::optional<Page> want;
        PageFault fault;
    };
    const std::vector<Case> cases = {
        {"seven bytes", {1, 0, 0, 0, 1, 0, 0}, std::nullopt, PageFault::TooShort},
        {"length past the end", {4, 0, 0, 0, 9, 0, 0, 0, 'a', 0, 'b', 0}, Page {4, u"ab"}, PageFault::Truncated},
        {"odd trailing byte", {1, 0, 0, 0, 2, 0, 0, 0, 'a', 0, 'b'}, Page {1, u"a"}, PageFault::Truncated},
        {"length shorter than the text, weather 5", {5, 0, 0, 0, 1, 0, 0, 0, 'a', 0, 'b', 0}, Page {0, u"a"}, PageFault::OddWeather},
        {"negative length, weather -1", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, Page {0, u""}, PageFault::OddWeather},
        {"negative length while text follows", {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 0}, std::nullopt, PageFault::NoLength},
        {"zero length while a byte follows", {1, 0, 0, 0, 0, 0, 0, 0, 'a'}, std::nullopt, PageFault::NoLength},
        // An encrypted diary's page read without its key is kept, never shown as noise.
        {"sealed page", {'P', 'G', 'S', 'L', 1, 1, 0, 0, 'a', 0}, std::nullopt, PageFault::Unsealed},
    };
    TempFolder data("damaged");
    const PlainPageStore store(data.folder());
    for (const auto& c : cases) {
        writeBytes(data.root / "20010607.dry", c.bytes);
        const auto got = store.read(kDay);
        const auto decoded = decodePage(c.bytes);
        ASSERT_EQ(got.state == PageFileState::Readable, c.want.has_value()) << c.what;
        ASSERT_EQ(decoded.has_value(), c.want.has_value()) << c.what;
        EXPECT_EQ(got.fault, c.fault) << c.what;
        EXPECT_EQ(store.probe(kDay).state, got.state) << c.what;
        if (c.want) {
            EXPECT_EQ(std::make_pair(got.page.weather, got.page.text), std::make_pair(c.want->weather, c.want->text)) << c.what;
            EXPECT_EQ(std::make_pair(decoded->weather, decoded->text), std::make_pair(c.want->weather, c.want->text)) << c.what;
        }
    }
}

// A link to a good page would show someone else's file as the diary's own; a FIFO would hang.
TEST(PageStore, WhatIsNoRegularFileIsAnUnreadablePageNeverFollowed)
{
    TempFolder data("kinds");
    const fs::path good = data.root / "elsewhere.txt";
    writeBytes(good, encodePage({1, u"남의 글"}));
    fs::create_directory(data.root / "folder");
    const std::vector<std::pair<const char*, std::function<void(const fs::path&)>>> cases = {
        {"link to a page", [&](const fs::path& p) { fs::create_symlink(good, p); }},
        {"link to a folder", [&](const fs::path& p) { fs::create_symlink(data.root / "folder", p); }},
        {"dangling link", [&](const fs::path& p) { fs::create_symlink(data.root / "gone", p); }},
        {"fifo", [](const fs::path& p) { ::mkfifo(p.c_str(), 0600); }},
    };
    PlainPageStore store(data.folder());
    for (const auto& [what, make] : cases) {
        SCOPED_TRACE(what);
        make(data.root / "20010607.dry");
        make(data.root / "20010607.wav");
        EXPECT_EQ(store.listDays(), std::vector<LocalDate> {kDay});
        EXPECT_TRUE(store.hasPage(kDay) && store.hasMemo(kDay));
        EXPECT_EQ(store.read(kDay).state, PageFileState::Unreadable);
        EXPECT_EQ(store.probe(kDay).state, PageFileState::Unreadable);
        EXPECT_TRUE(store.remove(kDay));
        EXPECT_FALSE(fs::exists(fs::symlink_status(data.root / "20010607.dry")));
        EXPECT_FALSE(fs::exists(fs::symlink_status(data.root / "20010607.wav")));
    }
    EXPECT_EQ(bytesOf(good), encodePage({1, u"남의 글"}));
}

TEST(PageStore, ListsReadsWritesAndRemovesDaysAndTellsOfItsChanges)
{
    TempFolder data("store");
    const Bytes a = encodePage({1, u"A"}), bad = {7};
    writeBytes(data.root / "20010607.dry", a);
    writeBytes(data.root / "20010606.dry", bad);
    writeBytes(data.root / "20010607.wav", {1});
    writeBytes(data.root / "20010606.wav", {2});
    writeBytes(data.root / "09990101.dry", a); // no eight-digit key: not a day of the diary
    fs::create_directory(data.root / "20010605.dry");
    PlainPageStore store(data.folder());
    struct Told : PageObserver {
        void pageChanged(const LocalDate& date) override { dates.push_back(date); }
        std::vector<LocalDate> dates;
    } told;
    store.addObserver(told);

    EXPECT_EQ(store.listDays(), (std::vector<LocalDate> {{2001, 6, 6}, {2001, 6, 7}}));
    EXPECT_EQ(PlainPageStore(data.folder() + u"missing/").listDays(), std::nullopt);
    EXPECT_EQ(std::vector<bool>({store.hasPage({2001, 6, 5}), store.hasPage({2001, 6, 6}), store.hasMemo({2001, 6, 7}),
                                 store.hasMemo({2001, 6, 8})}),
              std::vector<bool>({false, true, true, false}));
    EXPECT_EQ(store.read({2001, 6, 6}).state, PageFileState::Unreadable);
    EXPECT_EQ(store.read({2001, 6, 7}).page.text, u"A");

    const LocalDate d6 {2001, 6, 6}, d7 {2001, 6, 7}, d8 {2001, 6, 8};
    struct Step {
        const char* what;
        std::function<int()> act;
        int want;
        std::vector<std::string> gone, added; // file names
    };
    const std::vector<Step> steps = {
        {"new page", [&] { return int(store.write(d8, {2, u"새"})); }, int(StoreResult::Written), {}, {"20010608.dry"}},
        {"over an unreadable page", [&] { return int(store.write(d6, {3, u"b"})); }, int(StoreResult::Written), {}, {"20010606.dry.bad"}},
        {"emptied", [&] { return int(store.write(d8, {0, u""})); }, int(StoreResult::Removed), {"20010608.dry"}, {}},
        {"page and memo", [&] { return int(store.remove(d7)); }, 1, {"20010607.dry", "20010607.wav"}, {}},
        {"memo alone", [&] { return int(store.removeMemo(d6)); }, 1, {"20010606.wav"}, {}},
    };
    auto names = [&data] {
        std::set<std::string> all;
        for (const auto& [name, bytes] : files(data.root))
            all.insert(name);
        return all;
    };
    for (const auto& s : steps) {
        std::set<std::string> want = names();
        for (const auto& name : s.gone)
            want.erase(name);
        want.insert(s.added.begin(), s.added.end());
        told.dates.clear();
        EXPECT_EQ(s.act(), s.want) << s.what;
        EXPECT_EQ(names(), want) << s.what;
        EXPECT_EQ(told.dates.size(), 1u) << s.what;
    }
    EXPECT_EQ(bytesOf(data.root / "20010606.dry.bad"), bad);
    EXPECT_EQ(store.read(d6).page.text, u"b");
    store.removeObserver(told);
}

TEST(PageStore, OnlyNamesOfRealDatesArePages)
{
    const struct {
        const char* name;
        std::optional<LocalDate> date;
    } cases[] = {
        {"20240229.dry", LocalDate {2024, 2, 29}}, {"20000229.dry", LocalDate {2000, 2, 29}},
        {"19000229.dry", std::nullopt},           {"20250229.dry", std::nullopt},
        {"20250431.dry", std::nullopt},           {"20251231.dry", LocalDate {2025, 12, 31}},
        {"20251301.dry", std::nullopt},           {"20250100.dry", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pageDateOf(fromAscii(c.name)), c.date) << c.name;
}
