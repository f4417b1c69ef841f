#include "state/StateFolder.h"

#include "base/FileIo.h"
#include "base/Text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

using namespace pagelet;

namespace {

struct TempRoot {
    std::filesystem::path path = std::filesystem::temp_directory_path() / ("pagelet-state-" + std::to_string(::getpid()));
    TempRoot() { std::filesystem::remove_all(path); }
    ~TempRoot() { std::filesystem::remove_all(path); }
    std::u16string root() const { return fromUtf8(path.string() + "/Pagelet/"); }
};

unsigned modeOf(const std::filesystem::path& p)
{
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0;
}

} // namespace

TEST(StateFolder, DefaultRootFollowsTheBaseDirectoryRules)
{
    struct Row { const char* state; const char* home; std::u16string root; };
    const Row rows[] = {
        {"/s", "/h", u"/s/Pagelet/"},
        {"/s/", "/h", u"/s/Pagelet/"},
        {nullptr, "/h", u"/h/.local/state/Pagelet/"},
        {"", "/h", u"/h/.local/state/Pagelet/"},
        {"relative", "/h", u"/h/.local/state/Pagelet/"},
    };
    const char* oldState = std::getenv("XDG_STATE_HOME");
    const std::string keep = oldState ? oldState : "";
    const char* oldHome = std::getenv("HOME");
    const std::string keepHome = oldHome ? oldHome : "";
    for (const Row& row : rows) {
        if (row.state) ::setenv("XDG_STATE_HOME", row.state, 1); else ::unsetenv("XDG_STATE_HOME");
        ::setenv("HOME", row.home, 1);
        EXPECT_EQ(StateFolder::defaultRoot(), row.root) << (row.state ? row.state : "(unset)");
    }
    if (oldState) ::setenv("XDG_STATE_HOME", keep.c_str(), 1); else ::unsetenv("XDG_STATE_HOME");
    ::setenv("HOME", keepHome.c_str(), 1);
}

TEST(StateFolder, KeysAreStableReadableAndTellFoldersApart)
{
    EXPECT_EQ(StateFolder::keyOf(u"/home/a/diary/"), StateFolder::keyOf(u"/home/a/diary"));
    EXPECT_NE(StateFolder::keyOf(u"/home/a/diary/"), StateFolder::keyOf(u"/home/b/diary/"));
    EXPECT_EQ(StateFolder::keyOf(u"/home/a/diary/").substr(0, 6), u"diary-");
    // Names that are not plain ASCII become underscores: the key is always a safe file name.
    const std::u16string key = StateFolder::keyOf(u"/home/a/내 일기 ../");
    EXPECT_EQ(key.find(u'/'), std::u16string::npos);
    EXPECT_EQ(key.substr(0, 8), u"_______-");
}

TEST(StateFolder, WritesPrivateFilesInPrivateFoldersWhateverWasThere)
{
    TempRoot temp;
    StateFolder state(temp.root(), u"/data/diary/");
    std::filesystem::create_directories(temp.path / "Pagelet" / "journal");
    std::filesystem::permissions(temp.path / "Pagelet", std::filesystem::perms::all);
    const mode_t oldMask = ::umask(0);
    ASSERT_TRUE(state.write(u"journal", u"20261208", Bytes{1, 2, 3}));
    const std::filesystem::path file = toUtf8(state.folder(u"journal") + u"20261208");
    ::chmod(file.c_str(), 0644);
    ASSERT_TRUE(state.write(u"journal", u"20261208", Bytes{4}));
    ::umask(oldMask);
    EXPECT_EQ(modeOf(temp.path / "Pagelet"), 0700u);
    EXPECT_EQ(modeOf(temp.path / "Pagelet" / "journal"), 0700u);
    EXPECT_EQ(modeOf(toUtf8(state.folder(u"journal"))), 0700u);
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_EQ(readFile(fromUtf8(file.string())), Bytes{4});
}
