#include "import/ImportRig.h"
#include "import/MonthFile.h"

namespace pagelet {

using namespace importtest;

TEST(Import, EachFormatGivesItsPages)
{
    struct Case {
        const char* name;
        std::string file;
        std::string text;
        std::vector<std::pair<LocalDate, std::u16string>> pages;
    };
    const std::vector<Case> cases = {
        {"command-line journal, JSON", "j.json",
         R"({"tags": {"@work": 1}, "entries": [
             {"title": "Later", "body": "둘째\n줄", "date": "2024-03-01", "time": "15:39", "tags": ["@work"], "starred": false},
             {"title": "Morning", "body": "", "date": "2024-03-01", "time": "09:05", "tags": []},
             {"title": "Next", "body": "b", "date": "2024-03-02", "time": "00:00"}]})",
         {{{2024, 3, 1}, u"[09:05] Morning\r\n\r\n[15:39] Later\r\n둘째\r\n줄\r\n#work"}, {{2024, 3, 2}, u"[00:00] Next\r\nb"}}},
        {"photo journal, JSON", "Journal.json",
         R"({"metadata": {"version": "1.0"}, "entries": [
             {"creationDate": "2024-03-02T07:30:00Z", "timeZone": "America/Los_Angeles", "text": "# Trip\nsea",
              "tags": ["long walk"], "photos": [{"md5": "ab12", "type": "jpeg"}]}]})",
         {{{2024, 3, 1}, u"[23:30] # Trip\r\nsea\r\n#long_walk\r\n첨부: photos/ab12.jpeg"}}},
        {"month file", "2024-03.txt", "1: {text: 'first'}\n15:\n  text: |\n    line one\n    line two\n  Tags: {trip: null}\n",
         {{{2024, 3, 1}, u"first"}, {{2024, 3, 15}, u"line one\r\nline two\r\n#trip"}}},
        {"plain journal", "journal.txt",
         "\n[2024-03-01 15:39] Title here\nBody\r\n\n[2024-03-01 09:05] Early\n2024-03-02 01:00 PM Bare\nx\n",
         {{{2024, 3, 1}, u"[09:05] Early\r\n\r\n[15:39] Title here\r\nBody"}, {{2024, 3, 2}, u"[13:00] Bare\r\nx"}}},
        {"daily notes", "notes/2024/2024-03-01.md", "# Friday\n\n- one\n",
         {{{2024, 3, 1}, u"# Friday\r\n\r\n- one"}}},
        {"journal days", "folder/2024/03/02.txt", "[2024-03-02 08:00] In a folder\n", {{{2024, 3, 2}, u"[08:00] In a folder"}}},
    };
    for (const auto& c : cases) {
        Import in;
        write(in.source.root / c.file, c.text);
        const std::string top = fs::path(c.file).begin()->string();
        ASSERT_EQ(in.run(top), "") << c.name;
        EXPECT_EQ(in.store.listDays()->size(), c.pages.size()) << c.name;
        for (const auto& [date, text] : c.pages)
            EXPECT_EQ(toUtf8(in.page(date)), toUtf8(text)) << c.name << " " << date.day;
    }
}

TEST(Import, EachEntryLandsOnItsLocalDay)
{
    struct Case {
        const char* stamp;
        const char* zone;
        LocalDate day;
        std::u16string text;
    };
    const std::vector<Case> cases = {
        {"2024-03-02T07:30:00Z", "America/Los_Angeles", {2024, 3, 1}, u"[23:30] e"}, // 23:30 at UTC-8
        {"2024-03-02T07:30:00.123Z", "", {2024, 3, 2}, u"[07:30] e"},              // no zone: its UTC day
        {"2024-03-01T15:00:00Z", "Asia/Seoul", {2024, 3, 2}, u"[00:00] e"},
        {"2024-01-01T00:10:00Z", "America/Los_Angeles", {2023, 12, 31}, u"[16:10] e"},
        // Before 1970 the seconds are negative: the day still begins at midnight.
        {"1969-12-31T23:30:00Z", "", {1969, 12, 31}, u"[23:30] e"},
        {"1970-01-01T00:00:00Z", "", {1970, 1, 1}, u"[00:00] e"},
        {"1969-12-31T23:59:59Z", "", {1969, 12, 31}, u"[23:59] e"},
        {"1970-01-01T05:00:00Z", "America/Los_Angeles", {1969, 12, 31}, u"[21:00] e"},
        {"1900-03-01T00:00:00Z", "America/Los_Angeles", {1900, 2, 28}, u"[16:00] e"},
    };
    for (const auto& c : cases) {
        Import in;
        write(in.source.root / "Journal.json", std::string(R"({"entries": [{"text": "e", "creationDate": ")") + c.stamp
                                                   + R"(", "timeZone": ")" + c.zone + R"("}]})");
        ASSERT_EQ(in.run("Journal.json"), "") << c.stamp;
        EXPECT_EQ(toUtf8(in.page(c.day)), toUtf8(c.text)) << c.stamp << " " << c.zone;
    }
}

// A 12-hour clock: 12 AM is midnight, 12 PM is noon, and the hours between follow.
TEST(Import, TwelveHourTimesTakeTheirDayHalf)
{
    const struct {
        const char* clock;
        std::u16string text;
    } rows[] = {
        {"12:00 AM", u"[00:00] e"}, {"12:15 AM", u"[00:15] e"}, {"01:00 AM", u"[01:00] e"}, {"11:59 AM", u"[11:59] e"},
        {"12:00 PM", u"[12:00] e"}, {"12:15 PM", u"[12:15] e"}, {"01:00 PM", u"[13:00] e"}, {"11:59 PM", u"[23:59] e"},
    };
    for (const auto& row : rows) {
        Import in;
        write(in.source.root / "journal.txt", std::string("[2024-03-01 ") + row.clock + "] e\n");
        ASSERT_EQ(in.run("journal.txt"), "") << row.clock;
        EXPECT_EQ(toUtf8(in.page({2024, 3, 1})), toUtf8(row.text)) << row.clock;
    }
}

TEST(Import, JoinsAnExistingPageOnceAndAgainAddsNothing)
{
    Import in;
    ASSERT_EQ(in.store.write({2024, 3, 1}, {3, u"내 일기"}), StoreResult::Written);
    write(in.source.root / "j.txt", "[2024-03-01 10:00] A\n[2024-03-01 11:00] B\n[2024-03-05 12:00] C\n");
    ASSERT_EQ(in.run("j.txt"), "");
    EXPECT_EQ(in.last.entries, 3);
    EXPECT_EQ(in.last.days.size(), 2u);
    EXPECT_EQ(in.last.newPages, 1);
    const LoadedPage joined = in.store.read({2024, 3, 1});
    EXPECT_EQ(joined.page.weather, 3);
    EXPECT_EQ(toUtf8(joined.page.text), "내 일기\r\n──── 가져온 내용 ────\r\n[10:00] A\r\n\r\n[11:00] B");
    const auto before = testing::files(in.data.root);

    ASSERT_EQ(in.run("j.txt"), "");
    EXPECT_EQ(in.last.entries, 0);
    EXPECT_TRUE(in.last.days.empty());
    EXPECT_EQ(testing::files(in.data.root), before);

    // A new entry of the same day follows the imported ones, without a second marker.
    write(in.source.root / "more.txt", "[2024-03-01 09:00] D\n");
    ASSERT_EQ(in.run("more.txt"), "");
    EXPECT_EQ(toUtf8(in.page({2024, 3, 1})), "내 일기\r\n──── 가져온 내용 ────\r\n[10:00] A\r\n\r\n[11:00] B\r\n\r\n[09:00] D");
}

TEST(Import, DamageIsRefusedAndNothingIsWritten)
{
    std::string bomb = "a: &a [x, x, x, x, x, x, x, x, x]\n";
    for (char c = 'b'; c <= 'k'; ++c)
        bomb += std::string(1, c) + ": &" + c + " [*" + char(c - 1) + ", *" + char(c - 1) + ", *" + char(c - 1) + "]\n";
    struct Case {
        const char* file;
        std::string text;
        const char* message;
        std::size_t maxUnits = kMaxPageUnits;
    };
    const std::vector<Case> cases = {
        {"cut.json", R"({"entries": [{"title": "a", "date": "2024-03-01", "time": "10:00"}, {"title": )", "damaged JSON"},
        {"huge.json", R"({"entries": 1e999})", "damaged JSON"},
        {"not.json", R"({"items": []})", "no journal"},
        {"month.json", R"({"entries": [{"date": "2024-03-01"}, {"date": "2024-13-01"}]})", "entry 2: \"date\""},
        {"year.json", R"({"entries": [{"creationDate": "99999-01-01T00:00:00Z"}]})", "\"creationDate\""},
        {"zone.json", R"({"entries": [{"creationDate": "2024-01-01T00:00:00Z", "timeZone": "Mars/Base"}]})", "Mars/Base"},
        {"type.json", R"({"entries": [{"date": "2024-03-01", "tags": "x"}]})", "\"tags\" is not a list"},
        {"2024-03.txt", bomb, "aliases"},
        {"2024-02.txt", "1: {text: ok}\n30: {text: no}\n", "day 30"},
        {"2024-04.txt", "1: {text: [unclosed\n", "damaged YAML"},
        {"2024-05.txt", "# note\n\n  ,a: [1]\n", "damaged YAML (line 3"}, // the YAML parser never returns
        {"2024-06.txt", "1: {text: ok}\n--- ,a\n", "damaged YAML (line 2"},
        {"2024-08.txt", std::string("1: {text: a}\n\0,b", 16), "damaged YAML (line 2: a control character"},
        {"2024-10.txt", "1: {text: ok}\n2: {text: 'cut\n", "damaged YAML (line 2: a quote"},
        {"2024-09.txt", "1: \"\xdc\"", "damaged YAML (not UTF-8"},
        {"2024-07.txt", "\xEF\xBB\xBF" "1: |\n  ,kept\n  !kept\n2: x!y\n3: !:tag,r\n", "damaged YAML (line 5: a tag"},
        {"2024-11.txt", "1:\n  text: !!python/object:os.system x\n", "damaged YAML (line 2: a tag"},
        {"2024-12.txt", "1: {text: !!python/unicodes x}\n", "damaged YAML (line 1: a tag"},
        {"plain.txt", "Dear diary\n[2024-03-01 10:00] a\n", "line 1: text before"},
        {"date.txt", "[2024-03-01 10:00] a\n[2024-02-30 10:00] b\n", "line 2"},
        {"none.txt", "just words\n", "line 1"},
        {"big.txt", "[2024-03-01 10:00] a\n" + std::string(200, 'x') + "\n", "big.txt, line 1: the entry is longer", 100},
        {"day.txt", "[2024-03-01 10:00] a\n" + std::string(60, 'x') + "\n[2024-03-01 11:00] b\n" + std::string(60, 'x'),
         "2024-03-01: the page would be longer", 100},
        {"Journal.zip", "PK", "damaged zip"},
    };
    for (const auto& c : cases) {
        Import in;
        write(in.source.root / c.file, c.text);
        const std::string error = in.run(c.file, c.maxUnits);
        EXPECT_NE(error.find(c.message), std::string::npos) << c.file << ": " << error;
        EXPECT_TRUE(testing::files(in.data.root).empty()) << c.file;
    }
    Import in;
    write(in.source.root / "huge.txt", "[2024-03-01 10:00] a\n" + std::string(4096, 'x'));
    EXPECT_NE(in.run("huge.txt", kMaxPageUnits, {.fileBytes = 1024}).find("too large"), std::string::npos);
    EXPECT_NE(in.run("empty-folder-missing").find("no such file"), std::string::npos);
}

TEST(Import, AMonthFileIsReadInAChildThatIsStoppedAtTheLimit)
{
    std::string month;
    for (int day = 1; day <= 31; ++day)
        month += std::to_string(day) + ":\n  text: " + std::string(20000, 'a') + "\n";
    const auto read = readMonthFile(month, 2024, 3, "m.txt", std::chrono::seconds(60));
    ASSERT_EQ(read.size(), 31u);
    EXPECT_EQ(read[30].origin, "m.txt, day 31");
    try {
        readMonthFile(month, 2024, 3, "m.txt", std::chrono::milliseconds(1));
        ADD_FAILURE() << "a read past its limit was taken";
    } catch (const ImportRefused& refused) {
        EXPECT_STREQ(refused.what(), "m.txt: damaged YAML (its reading did not end within 1 ms)");
    }
}

TEST(Import, AFailedWritePutsBackTheDaysBefore)
{
    Import in;
    ASSERT_EQ(in.store.write({2024, 3, 1}, {0, u"old"}), StoreResult::Written);
    const auto before = testing::files(in.data.root);
    // The third day's page can't be written: a folder has its name.
    fs::create_directory(in.data.root / "20240303.dry");
    write(in.source.root / "j.txt", "[2024-03-01 10:00] a\n[2024-03-02 10:00] b\n[2024-03-03 10:00] c\n");
    EXPECT_NE(in.run("j.txt").find("2024-03-03: the page can't be written; nothing was imported"), std::string::npos);
    auto after = testing::files(in.data.root);
    after.erase("20240303.dry");
    EXPECT_EQ(after, before);
}

} // namespace pagelet
