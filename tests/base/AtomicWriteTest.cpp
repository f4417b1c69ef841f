#include "base/FileIo.h"
#include "base/IoFault.h"
#include "base/ReadableFile.h"
#include "base/Text.h"
#include "store/PlainPageStore.h"
#include "settings/ConfigFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace pagelet;
namespace fs = std::filesystem;

namespace {

struct Folder {
    Folder()
    {
        static int counter = 0;
        root = fs::temp_directory_path() / ("pagelet-io-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(root);
        fs::create_directories(root);
    }
    ~Folder() { fs::remove_all(root); }
    std::u16string path(const char* name) const { return fromUtf8((root / name).string()); }
    bool hasTemporaryFile() const
    {
        for (const auto& e : fs::directory_iterator(root))
            if (isTemporaryName(fromUtf8(e.path().filename().string())))
                return true;
        return false;
    }
    fs::path root;
};

Bytes read(const std::u16string& path)
{
    return readFile(path).value_or(Bytes {});
}

unsigned modeOf(const std::u16string& path)
{
    struct stat st {};
    ::stat(toUtf8(path).c_str(), &st);
    return st.st_mode & 0777;
}

// One kind of store over an old file: what it writes, the steps it goes through, and the call.
struct Store {
    const char* name;
    const char* file;
    Bytes old, fresh; // fresh empty: the file is to go
    std::set<IoStep> steps;
    std::function<bool(const std::u16string&)> run;
};

const Page kOldPage {2, u"어제 쓴 글"}, kNewPage {4, u"오늘 고쳐 쓴 글\r\n둘째 줄"};
const std::set<IoStep> kWriteSteps = {IoStep::Open, IoStep::Write, IoStep::Sync, IoStep::Rename, IoStep::FolderSync};

Settings newSettings()
{
    Settings s;
    s.usePassword = 1;
    s.password = u"비밀";
    s.skinName = u"Wood";
    return s;
}

const std::vector<Store> kStores = {
    {"page saved", "20010607.dry", encodePage(kOldPage), encodePage(kNewPage), kWriteSteps,
     [](const std::u16string& p) { return storePageFile(p, kNewPage) == StoreResult::Written; }},
    {"page emptied", "20010607.dry", encodePage(kOldPage), {}, {IoStep::Remove},
     [](const std::u16string& p) { return storePageFile(p, {0, u""}) == StoreResult::Removed; }},
    {"config.dat stored", "config.dat", encodeConfig({}), encodeConfig(newSettings()), kWriteSteps,
     [](const std::u16string& p) { return writeConfig(p, newSettings()); }},
};

} // namespace

TEST(AtomicWrite, EveryFailedStepKeepsTheOldFileOrTheNewOneReportsItAndLeavesNoTemporaryFile)
{
    const std::pair<IoStep, const char*> steps[] = {{IoStep::Open, "open"},     {IoStep::Write, "write"},
                                                    {IoStep::Sync, "fsync"},    {IoStep::Rename, "rename"},
                                                    {IoStep::FolderSync, "folder fsync"}, {IoStep::Remove, "remove"}};
    for (const auto& store : kStores)
        for (const auto& [step, stepName] : steps)
            for (const auto repeat : {IoFault::Repeat::Once, IoFault::Repeat::Always})
                for (const int error : {ENOSPC, EIO, EACCES}) {
                    SCOPED_TRACE(std::string(store.name) + ", " + stepName + (repeat == IoFault::Repeat::Once ? " once, " : " always, ") +
                                 std::strerror(error));
                    Folder folder;
                    const std::u16string path = folder.path(store.file);
                    ASSERT_TRUE(writeFileAtomic(path, store.old));
                    IoFault::arm(step, error, repeat);
                    const bool stored = store.run(path);
                    IoFault::disarmAll();

                    EXPECT_EQ(stored, !store.steps.count(step)); // a step it took failed: it says so
                    const bool gone = !fs::exists(folder.root / store.file);
                    const bool isNew = store.fresh.empty() ? gone : read(path) == store.fresh;
                    EXPECT_TRUE(isNew || (!gone && read(path) == store.old));
                    EXPECT_TRUE(!stored || isNew);
                    EXPECT_FALSE(folder.hasTemporaryFile());

                    // Nothing is left in the way of the next try.
                    EXPECT_TRUE(store.run(path));
                    EXPECT_TRUE(store.fresh.empty() ? !fs::exists(folder.root / store.file) : read(path) == store.fresh);
                }
}

TEST(AtomicWrite, AReplacedFileKeepsItsModeAndNewFilesAndDataFoldersAreTheOwnersAlone)
{
    struct Case {
        const char* what;
        mode_t umask;
        int oldMode; // -1: no old file
        bool page;   // else config.dat
        unsigned want;
    };
    const std::vector<Case> cases = {
        {"new page", 022, -1, true, 0600},
        {"new page, open umask", 0, -1, true, 0600},
        {"new page, strict umask", 077, -1, true, 0600},
        {"page shared with the group", 022, 0640, true, 0640},
        {"page readable by all", 077, 0644, true, 0644},
        {"new config.dat", 0, -1, false, 0600},
        {"config.dat kept private", 0, 0600, false, 0600},
        {"config.dat made readable by the user", 022, 0644, false, 0644},
    };
    const mode_t before = ::umask(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Folder folder;
        const std::u16string path = folder.path(c.page ? "20010607.dry" : "config.dat");
        if (c.oldMode >= 0) {
            ASSERT_TRUE(writeFileAtomic(path, encodePage(kOldPage)));
            ::chmod(toUtf8(path).c_str(), static_cast<mode_t>(c.oldMode));
        }
        ::umask(c.umask);
        EXPECT_TRUE(c.page ? storePageFile(path, kNewPage) == StoreResult::Written : writeConfig(path, {}));
        EXPECT_EQ(modeOf(path), c.want);
    }

    ::umask(022);
    Folder folder;
    EXPECT_TRUE(makePrivateFolder(folder.path("a/b/diary/")));
    EXPECT_EQ(modeOf(folder.path("a/b/diary")), 0700u);
    EXPECT_EQ(modeOf(folder.path("a/b")), 0755u); // the parents are no diary
    ::chmod(toUtf8(folder.path("a/b/diary")).c_str(), 0750);
    EXPECT_TRUE(makePrivateFolder(folder.path("a/b/diary")));
    EXPECT_EQ(modeOf(folder.path("a/b/diary")), 0750u); // the user's own choice stays
    ::umask(before);
}

// The start's sweep takes only what a cut-short write leaves: pages, names that merely hold
// the mark, and names that are not UTF-8 stay.
TEST(RemoveTemporaryFiles, TakesOnlyLeftoverTemporaries)
{
    Folder f;
    const struct {
        std::string name;
        bool removed;
    } files[] = {
        {".pagelet-tmp-20260101.dry.x1", true},
        {".pagelet-tmp-", true},
        {".pagelet-tmp-\xed\x95\x9c.dry", true},
        {"20260101.dry", false},
        {"a.pagelet-tmp-20260101.dry", false},
        {".pagelet-tm", false},
        {"\xff\xfe.dry", false},
    };
    for (const auto& file : files)
        std::ofstream(f.root / file.name) << "x";
    EXPECT_EQ(removeTemporaryFiles(fromUtf8(f.root.string())), 3);
    for (const auto& file : files)
        EXPECT_EQ(fs::exists(f.root / file.name), !file.removed) << file.name;
}

// A skin written on a system that ignores case still finds its files; an exact name wins, and
// what does not exist is kept as written.
TEST(ResolveIgnoringCase, MatchesEachLevelAndKeepsTheRest)
{
    Folder f;
    fs::create_directories(f.root / "Skin" / "Wood");
    fs::create_directories(f.root / "Skin" / "wood");
    std::ofstream(f.root / "Skin" / "Wood" / "BACK.BMP") << "x";
    std::ofstream(f.root / "Skin" / "wood" / "back.bmp") << "x";
    const std::u16string root = fromUtf8(f.root.string()) + u"/";
    const struct {
        std::u16string relative, resolved;
    } cases[] = {
        {u"skin/Wood/back.bmp", u"Skin/Wood/BACK.BMP"},
        {u"skin/wood/back.bmp", u"Skin/wood/back.bmp"},
        {u"SKIN/Wood/Back.bmp", u"Skin/Wood/BACK.BMP"},
        {u"skin/gone/back.bmp", u"Skin/gone/back.bmp"},
        {u"skin/./Wood/", u"Skin/./Wood/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toUtf8(resolveIgnoringCase(root + c.relative)), toUtf8(root + c.resolved));
        EXPECT_EQ(toUtf8(resolveIgnoringCaseUnder(root, c.relative)), toUtf8(root + c.resolved));
    }
    // The base is taken as it stands, not looked up again.
    EXPECT_EQ(toUtf8(resolveIgnoringCaseUnder(root + u"skin/", u"wood")), toUtf8(root + u"skin/wood"));
}

// A file's descriptor handed on blocks like any other; a FIFO under the name is refused, never
// waited on.
TEST(ReadableFile, HandsOnABlockingDescriptorAndRefusesAFifo)
{
    Folder f;
    std::ofstream(f.root / "page") << "text";
    ASSERT_EQ(::mkfifo((f.root / "pipe").c_str(), 0600), 0);
    ReadableFile file(f.path("page"), 100);
    ASSERT_EQ(file.state(), ReadableFile::State::Open);
    const int fd = file.release();
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
    char buffer[8];
    EXPECT_EQ(::read(fd, buffer, sizeof buffer), 4);
    ::close(fd);
    EXPECT_EQ(ReadableFile(f.path("pipe"), 100).state(), ReadableFile::State::Refused);
}
