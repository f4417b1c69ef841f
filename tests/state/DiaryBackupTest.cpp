#include "state/DiaryBackup.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "state/AutoBackup.h"
#include "state/Sha256.h"
#include "crypto/CryptoRig.h"
#include "store/FolderEncryption.h"
#include "store/PageFormat.h"
#include "store/PlainPageStore.h"

#include <gtest/gtest.h>

#include <archive.h>
#include <archive_entry.h>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <unistd.h>

using namespace pagelet;
namespace fs = std::filesystem;

namespace {

struct Folder {
    fs::path path = fs::temp_directory_path() / ("pagelet-backup-" + std::to_string(::getpid()));
    Folder() { fs::remove_all(path); fs::create_directories(path / "data"); }
    ~Folder() { fs::remove_all(path); }
    std::u16string at(const std::string& name) const { return fromUtf8((path / name).string()); }
};

Bytes noise(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}

// A zip as another program, or an attacker, might make it.
void makeZip(const std::u16string& path, const std::vector<std::pair<std::string, Bytes>>& members)
{
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    ASSERT_EQ(archive_write_open_filename(a, toUtf8(path).c_str()), ARCHIVE_OK);
    for (const auto& [name, bytes] : members) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, name.c_str());
        archive_entry_set_size(e, static_cast<la_int64_t>(bytes.size()));
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0600);
        archive_write_header(a, e);
        archive_write_data(a, bytes.data(), bytes.size());
        archive_entry_free(e);
    }
    archive_write_close(a);
    archive_write_free(a);
}

Bytes manifestOf(const std::vector<std::pair<std::string, Bytes>>& files)
{
    std::string text;
    for (const auto& [name, bytes] : files)
        text += Sha256::of(bytes.data(), bytes.size()) + "  " + name + "\n";
    return Bytes(text.begin(), text.end());
}

std::vector<std::string> named(const BackupCheck& check)
{
    std::vector<std::string> names;
    for (const auto& p : check.problems)
        names.push_back(p.name + ": " + p.what);
    return names;
}

} // namespace

TEST(DiaryBackup, ShaMatchesKnownDigests)
{
    // An empty page or member: an empty vector's data is null, and nothing may be read from it.
    const std::string empty = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
    EXPECT_EQ(Sha256::of("", 0), empty);
    EXPECT_EQ(Sha256::of(nullptr, 0), empty);
    EXPECT_EQ(Sha256::of(Bytes().data(), 0), empty);
    const std::string abc = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(Sha256::of(abc.data(), abc.size()), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    // Fed in pieces across block edges, the same digest.
    Sha256 pieces;
    for (char c : abc)
        pieces.add(&c, 1);
    EXPECT_EQ(pieces.hex(), Sha256::of(abc.data(), abc.size()));
}

TEST(DiaryBackup, RoundTripGivesBackEveryFileAndRefusesAFolderWithPages)
{
    Folder f;
    const Bytes page = {1, 0, 0, 0, 2, 0, 0, 0, 'h', 0, 'i', 0}, memo = noise(5000, 1), config = {9, 9, 9};
    ASSERT_TRUE(writeFileAtomic(f.at("data/20261201.dry"), page));
    ASSERT_TRUE(writeFileAtomic(f.at("data/20261201.wav"), memo));
    ASSERT_TRUE(writeFileAtomic(f.at("data/notes.txt"), {1})); // not ours: left out
    ASSERT_TRUE(writeFileAtomic(f.at("config.dat"), config));
    // Sync conflict copies of a page and a memo, and the key file, without which the sealed
    // pages of a restored encrypted diary would open to nothing.
    const std::vector<std::pair<std::string, Bytes>> alsoKept = {
        {"20261201.sync-conflict-20261201-101010-ABCDEFG.dry", noise(40, 4)},
        {"20261201 (conflicted copy 2026-12-01).wav", noise(700, 5)},
        {"pagelet.key", noise(232, 6)}};
    for (const auto& [name, bytes] : alsoKept)
        ASSERT_TRUE(writeFileAtomic(f.at("data/" + name), bytes));
    // A page that is a link: its target's bytes are no page of this diary.
    ASSERT_TRUE(writeFileAtomic(f.at("secret"), {'s'}));
    fs::create_symlink(f.path / "secret", f.path / "data/20261202.dry");
    ASSERT_EQ(writeBackup(PlainPageStore(f.at("data/")), f.at("config.dat"), f.at("b.zip")).error(), "");
    BackupCheck check;
    ASSERT_EQ(restoreBackup(f.at("b.zip"), f.at("new/"), check).error(), "");
    EXPECT_EQ(readFile(f.at("new/20261201.dry")), page);
    EXPECT_EQ(readFile(f.at("new/20261201.wav")), memo);
    for (const auto& [name, bytes] : alsoKept)
        EXPECT_EQ(readFile(f.at("new/" + name)), bytes) << name;
    EXPECT_FALSE(fs::exists(fs::symlink_status(f.path / "new/20261202.dry")));
    EXPECT_EQ(fs::status(f.path / "new").permissions(), fs::perms::owner_all);
    EXPECT_FALSE(fs::exists(f.path / "new/config.dat")); // may hold the start-up password as typed
    EXPECT_EQ(check.leftOut, std::vector<std::string> {"config.dat"});
    EXPECT_FALSE(fs::exists(f.path / "new/notes.txt"));
    // Again into what is now a diary: refused, and the page stays as it is.
    ASSERT_TRUE(writeFileAtomic(f.at("new/20261201.dry"), {7}));
    EXPECT_NE(restoreBackup(f.at("b.zip"), f.at("new/"), check).error(), "");
    EXPECT_EQ(readFile(f.at("new/20261201.dry")), Bytes {7});
}

TEST(DiaryBackup, DamagedZipsFailNamingTheFilesAndRestoreNothing)
{
    const Bytes a = noise(20000, 2), b = noise(300, 3);
    struct Row {
        const char* name;
        std::function<void(Folder&)> make; // writes f.at("z.zip")
        std::vector<std::string> problems;
        std::uint64_t total = BackupLimits {}.total;
    };
    auto good = [a, b](Folder& f) {
        ASSERT_TRUE(writeFileAtomic(f.at("data/20261201.wav"), a));
        ASSERT_TRUE(writeFileAtomic(f.at("data/20261202.dry"), b));
        ASSERT_EQ(writeBackup(PlainPageStore(f.at("data/")), u"", f.at("z.zip")).error(), "");
    };
    // A byte of the first central directory entry (the memo's) flipped, where other tools
    // would take the name, the CRC or the mode from.
    auto flipped = [&](std::size_t at) {
        return [&good, at](Folder& f) {
            good(f);
            auto bytes = *readFile(f.at("z.zip"));
            const std::size_t end = bytes.size() - 22, directory = bytes[end + 16] | bytes[end + 17] << 8 | bytes[end + 18] << 16;
            bytes[directory + at] ^= 0x01;
            ASSERT_TRUE(writeFileAtomic(f.at("z.zip"), bytes));
        };
    };
    const Row rows[] = {
        {"whole", good, {}},
        {"truncated",
         [&](Folder& f) { good(f); fs::resize_file(f.path / "z.zip", 9000); },
         {": no central directory"}},
        {"a flipped byte",
         [&](Folder& f) {
             good(f);
             auto bytes = *readFile(f.at("z.zip"));
             bytes[bytes.size() / 3] ^= 0x40;
             ASSERT_TRUE(writeFileAtomic(f.at("z.zip"), bytes));
         },
         {"20261201.wav: unreadable"}},
        {"a missing member",
         [&](Folder& f) { makeZip(f.at("z.zip"), {{"20261201.wav", a}, {"manifest.sha256", manifestOf({{"20261201.wav", a}, {"20261202.dry", b}})}}); },
         {"20261202.dry: missing"}},
        {"a member that differs",
         [&](Folder& f) { makeZip(f.at("z.zip"), {{"20261202.dry", a}, {"manifest.sha256", manifestOf({{"20261202.dry", b}})}}); },
         {"20261202.dry: differs"}},
        {"a name that climbs out",
         [&](Folder& f) { makeZip(f.at("z.zip"), {{"../x", b}, {"manifest.sha256", manifestOf({{"../x", b}})}}); },
         {"../x: unsafe name"}},
        {"a member not listed",
         [&](Folder& f) { makeZip(f.at("z.zip"), {{"20261202.dry", b}, {"20261203.dry", a}, {"manifest.sha256", manifestOf({{"20261202.dry", b}})}}); },
         {"20261203.dry: not listed"}},
        {"no manifest", [&](Folder& f) { makeZip(f.at("z.zip"), {{"20261202.dry", b}}); }, {"manifest.sha256: missing"}},
        {"not a zip", [&](Folder& f) { ASSERT_TRUE(writeFileAtomic(f.at("z.zip"), b)); }, {": no central directory"}},
        {"a central directory name", flipped(46), {"30261201.wav: central directory differs from the member"}},
        {"a central directory CRC", flipped(16), {"20261201.wav: central directory differs from the member"}},
        {"a central directory mode", flipped(40), {"20261201.wav: not a plain private file"}},
        {"a foreign member",
         [&](Folder& f) { makeZip(f.at("z.zip"), {{".bashrc", b}, {"20261202.dry", b}, {"manifest.sha256", manifestOf({{".bashrc", b}, {"20261202.dry", b}})}}); },
         {".bashrc: not a diary file"}},
        {"past the limit of all members together", good, {"20261201.wav: unpacks past the limit of a backup"}, 1000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Folder f;
        row.make(f);
        EXPECT_EQ(named(verifyBackup(f.at("z.zip"), {row.total})), row.problems);
        BackupCheck check;
        const std::string error = restoreBackup(f.at("z.zip"), f.at("out/out/"), check, {row.total}).error();
        EXPECT_EQ(error.empty(), row.problems.empty()) << error;
        EXPECT_EQ(fs::exists(f.path / "out"), row.problems.empty());
        EXPECT_FALSE(fs::exists(f.path / "out/x") || fs::exists(f.path / "x"));
    }
}

TEST(DiaryBackup, DailyBackupsKeepSevenDaysFourWeeksAndTwelveMonths)
{
    // A backup every day of 2026 up to 2026-12-08 (a Tuesday).
    std::vector<std::string> names = {"notes.txt", "2026-13-01.zip"};
    for (int month = 1; month <= 12; ++month)
        for (int day = 1; day <= daysInMonth(2026, month) && (month < 12 || day <= 8); ++day) {
            char name[32];
            std::snprintf(name, sizeof name, "2026-%02d-%02d.zip", month, day);
            names.push_back(name);
        }
    const auto doomed = backupsToRemove(names);
    std::vector<std::string> kept;
    for (const auto& name : names)
        if (std::find(doomed.begin(), doomed.end(), name) == doomed.end() && name.ends_with(".zip") && name != "2026-13-01.zip")
            kept.push_back(name);
    // Days 2-8 of December; the Sundays ending the weeks before (6 Dec, 29 and 22 Nov; weeks
    // start on Monday); each month's last day back to January.
    const std::vector<std::string> expected = {
        "2026-01-31.zip", "2026-02-28.zip", "2026-03-31.zip", "2026-04-30.zip", "2026-05-31.zip", "2026-06-30.zip",
        "2026-07-31.zip", "2026-08-31.zip", "2026-09-30.zip", "2026-10-31.zip", "2026-11-22.zip", "2026-11-29.zip",
        "2026-11-30.zip", "2026-12-02.zip", "2026-12-03.zip", "2026-12-04.zip", "2026-12-05.zip", "2026-12-06.zip",
        "2026-12-07.zip", "2026-12-08.zip"};
    EXPECT_EQ(kept, expected);
    EXPECT_EQ(std::find(doomed.begin(), doomed.end(), "notes.txt"), doomed.end()); // not ours: never removed
}

// The state folder's place is made when missing; a place the user chose must be there (a USB
// stick that is out), and nothing is made in its stead.
TEST(DiaryBackup, ADailyBackupGoesIntoItsPlaceAndAChosenOneMustBeThere)
{
    Folder where;
    std::ofstream(where.path / "data" / "20261208.dry", std::ios::binary) << std::string("\0\0\0\0\1\0\0\0a\0", 10);
    std::ofstream(where.path / "config.dat") << "c";
    const LocalDate today {2026, 12, 8};
    const struct {
        const char* folder;
        bool chosen, madeFirst, wantWritten;
    } cases[] = {{"state/backups", false, false, true}, {"stick", true, true, true}, {"gone", true, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        if (c.madeFirst)
            fs::create_directories(where.path / c.folder);
        AutoBackup backup(where.at(c.folder), where.at("data/"), where.at("config.dat"), c.chosen);
        EXPECT_TRUE(backup.due(today));
        const std::string error = backup.run(today).error();
        EXPECT_EQ(error.empty(), c.wantWritten) << error;
        EXPECT_EQ(fs::exists(where.path / c.folder / "2026-12-08.zip"), c.wantWritten);
        EXPECT_EQ(fs::exists(where.path / c.folder), c.wantWritten);
        EXPECT_EQ(backup.due(today), !c.wantWritten);
    }
}

// The daily backup leaves out what --backup leaves out: after an encrypted diary's conversion
// ended, a plain page put in by someone without the key; before it, the page is the diary's.
TEST(DiaryBackup, ADailyBackupLeavesOutAPlainPageAfterTheConversion)
{
    for (const bool ended : {false, true}) {
        SCOPED_TRACE(ended ? "after the mark" : "before the mark");
        Folder where;
        const auto made = createKeyFile(pagelet::testing::bytesOf("pw"), pagelet::testing::kQuickKdf);
        ASSERT_TRUE(made && writeFolderKeyFile(where.at("data/"), made->file));
        ASSERT_TRUE(writeFileAtomic(where.at("data/20261201.dry"), encodePage({1, u"sealed"})));
        if (ended)
            ASSERT_TRUE(sealFolder(where.at("data/"), made->key).ended);
        ASSERT_TRUE(writeFileAtomic(where.at("data/20261202.dry"), encodePage({2, u"planted"})));
        AutoBackup backup(where.at("backups/"), where.at("data/"), where.at("config.dat"), false);
        ASSERT_EQ(backup.run({2026, 12, 8}).error(), "");
        BackupCheck check;
        ASSERT_EQ(restoreBackup(where.at("backups/2026-12-08.zip"), where.at("new/"), check).error(), "");
        EXPECT_TRUE(fs::exists(where.path / "new/20261201.dry"));
        EXPECT_TRUE(fs::exists(where.path / "new/pagelet.key"));
        EXPECT_EQ(fs::exists(where.path / "new/20261202.dry"), !ended);
        EXPECT_TRUE(fs::exists(where.path / "data/20261202.dry")) << "left where it was";
    }
}
