#include "state/CrashJournal.h"

#include "base/Text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace pagelet;
namespace fs = std::filesystem;

namespace {

struct Journal {
    fs::path root = fs::temp_directory_path() / ("pagelet-journal-" + std::to_string(::getpid()));
    StateFolder folder {fromUtf8(root.string() + "/"), u"/home/a/diary/"};
    Journal() { fs::remove_all(root); }
    ~Journal() { fs::remove_all(root); }
    fs::path file(const char* name) const { return toUtf8(folder.folder(u"journal")) + name; }
};

std::vector<std::pair<std::string, Page>> listed(const CrashJournal& journal)
{
    std::vector<std::pair<std::string, Page>> out;
    for (const auto& e : journal.pending())
        out.emplace_back(std::to_string(e.date.year * 10000 + e.date.month * 100 + e.date.day), e.page);
    return out;
}

} // namespace

// What a later start finds after each order of keeps and drops, written on the journal's thread.
TEST(CrashJournal, KeepsTheLastPageOfEachDayUntilItIsDropped)
{
    const LocalDate a {2024, 3, 1}, b {2024, 2, 29};
    struct Row {
        const char* name;
        std::function<void(CrashJournal&)> act;
        std::vector<std::pair<std::string, std::u16string>> left;
    } rows[] = {
        {"nothing kept", [](CrashJournal&) {}, {}},
        {"the newest of a day", [&](CrashJournal& j) { j.keep(a, {1, u"one"}); j.keep(a, {2, u"one two"}); }, {{"20240301", u"one two"}}},
        {"dropped after kept", [&](CrashJournal& j) { j.keep(a, {0, u"x"}); j.flush(); j.drop(a); }, {}},
        {"dropped while queued", [&](CrashJournal& j) { j.keep(a, {0, u"x"}); j.drop(a); }, {}},
        {"kept again after a drop", [&](CrashJournal& j) { j.keep(a, {0, u"x"}); j.drop(a); j.keep(a, {0, u"y"}); }, {{"20240301", u"y"}}},
        {"two days, oldest first", [&](CrashJournal& j) { j.keep(a, {0, u"march"}); j.keep(b, {3, u"leap"}); },
         {{"20240229", u"leap"}, {"20240301", u"march"}}},
        {"an empty page is a page", [&](CrashJournal& j) { j.keep(a, {4, u""}); }, {{"20240301", u""}}},
    };
    for (const Row& row : rows) {
        Journal where;
        {
            CrashJournal journal(where.folder);
            row.act(journal);
            EXPECT_TRUE(journal.flush()) << row.name;
        }
        const CrashJournal later(where.folder);
        const auto left = listed(later);
        ASSERT_EQ(left.size(), row.left.size()) << row.name;
        for (std::size_t i = 0; i < left.size(); ++i) {
            EXPECT_EQ(left[i].first, row.left[i].first) << row.name;
            EXPECT_TRUE(left[i].second.text == row.left[i].second) << row.name;
        }
    }
}

TEST(CrashJournal, FilesArePrivateAndWhatDoesNotDecodeIsPassedOver)
{
    Journal where;
    {
        CrashJournal journal(where.folder);
        journal.keep({2024, 3, 1}, {1, u"secret"});
        ASSERT_TRUE(journal.flush());
    }
    struct stat st {};
    ASSERT_EQ(::stat(where.file("20240301.dry").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(where.file("").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // Cut short, a day that does not exist, and a stranger's file.
    std::ofstream(where.file("20240302.dry"), std::ios::binary) << std::string("\1\0\0\0\x40\0\0\0a\0", 10);
    std::ofstream(where.file("20240230.dry"), std::ios::binary) << std::string("\0\0\0\0\0\0\0\0", 8);
    std::ofstream(where.file("notes.dry"), std::ios::binary) << std::string("\0\0\0\0\0\0\0\0", 8);
    const auto left = listed(CrashJournal(where.folder));
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].first, "20240301");
    EXPECT_EQ(left[1].first, "20240302"); // a length past the end takes what is there, as pages do
    {
        CrashJournal later(where.folder); // a file an earlier run left is dropped too
        later.drop({2024, 3, 1});
        EXPECT_TRUE(later.flush());
    }
    EXPECT_EQ(listed(CrashJournal(where.folder)).size(), 1u);
}

TEST(CrashJournal, AFailedWriteIsReported)
{
    Journal where;
    fs::create_directories(where.root);
    std::ofstream(where.root / "Pagelet") << "a file where the folder would be";
    StateFolder blocked(fromUtf8((where.root / "Pagelet").string() + "/"), u"/d/");
    CrashJournal journal(blocked);
    journal.keep({2024, 3, 1}, {0, u"x"});
    EXPECT_FALSE(journal.flush());
}
