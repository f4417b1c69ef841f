#include "base/FileIo.h"
#include "base/Text.h"
#include "crypto/CryptoRig.h"
#include "crypto/SealedFile.h"
#include "store/EncryptedPageStore.h"
#include "store/FolderEncryption.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

namespace pagelet::testing {
namespace {

namespace fs = std::filesystem;

const LocalDate kDay {2001, 6, 7};
const LocalDate kNextDay {2001, 6, 8};

struct Folder {
    Folder()
    {
        static int counter = 0;
        root = fs::temp_directory_path() / ("pagelet-crypto-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(root);
        fs::create_directories(root);
    }
    ~Folder() { fs::remove_all(root); }
    std::u16string path() const { return fromUtf8(root.string()) + u"/"; }
    void put(const std::string& name, const Bytes& bytes) const { ASSERT_TRUE(writeFileAtomic(fromUtf8((root / name).string()), bytes)); }
    Bytes get(const std::string& name) const { return readFile(fromUtf8((root / name).string()), 1u << 30).value_or(Bytes {}); }
    fs::path root;
};

Bytes sealedPage(const Page& page, const LocalDate& day = kDay, std::uint8_t keyStart = 0)
{
    return sealFile(countingKey(keyStart), day, SealedKind::Page, encodePage(page));
}

Bytes flipped(Bytes bytes, std::size_t at)
{
    bytes[at] ^= 0x04;
    return bytes;
}

TEST(EncryptedStore, ReadsEachKindOfFile)
{
    const Bytes good = sealedPage({3, u"눈이 왔다"});
    const struct {
        const char* name;
        std::optional<Bytes> file; // nothing: a folder under the page's name
        PageFileState state;
        Page page;
        PageFault fault = PageFault::None;
    } cases[] = {
        {"sealed page", good, PageFileState::Readable, {3, u"눈이 왔다"}},
        {"sealed empty page", sealedPage({0, u""}), PageFileState::Readable, {0, u""}},
        {"plain page", encodePage({2, u"plain"}), PageFileState::Readable, {2, u"plain"}},
        {"plain page, length past the end", Bytes {4, 0, 0, 0, 9, 0, 0, 0, 'a', 0}, PageFileState::Readable, {4, u"a"}, PageFault::Truncated},
        {"sealed page, length past the end", sealFile(countingKey(), kDay, SealedKind::Page, Bytes {4, 0, 0, 0, 9, 0, 0, 0, 'a', 0}),
         PageFileState::Readable, {4, u"a"}, PageFault::Truncated},
        {"sealed page, weather 7", sealedPage({7, u"x"}), PageFileState::Readable, {0, u"x"}, PageFault::OddWeather},
        {"sealed bytes too short for a page", sealFile(countingKey(), kDay, SealedKind::Page, Bytes {1, 0, 0}),
         PageFileState::Unreadable, {}, PageFault::TooShort},
        {"plain too short", Bytes {1, 0, 0}, PageFileState::Unreadable, {}, PageFault::TooShort},
        {"another day's page", sealedPage({1, u"x"}, kNextDay), PageFileState::Unreadable, {}, PageFault::Unsealed},
        {"another diary's page", sealedPage({1, u"x"}, kDay, 9), PageFileState::Unreadable, {}, PageFault::Unsealed},
        {"a memo under the page's name", sealFile(countingKey(), kDay, SealedKind::Memo, encodePage({1, u"x"})),
         PageFileState::Unreadable, {}, PageFault::Unsealed},
        {"flipped nonce bit", flipped(good, 10), PageFileState::Unreadable, {}, PageFault::Unsealed},
        {"flipped text bit", flipped(good, 40), PageFileState::Unreadable, {}, PageFault::Unsealed},
        {"cut", Bytes(good.begin(), good.end() - 3), PageFileState::Unreadable, {}, PageFault::Unsealed},
        {"magic alone", Bytes {'P', 'G', 'S', 'L'}, PageFileState::Unreadable, {}, PageFault::Unsealed},
        {"a folder", std::nullopt, PageFileState::Missing, {}},
    };
    for (const auto& c : cases) {
        Folder folder;
        if (c.file)
            folder.put("20010607.dry", *c.file);
        else
            fs::create_directory(folder.root / "20010607.dry");
        EncryptedPageStore store(folder.path(), countingKey());
        const LoadedPage got = store.read(kDay);
        EXPECT_EQ(got.state, c.state) << c.name;
        EXPECT_EQ(got.fault, c.fault) << c.name;
        EXPECT_EQ(got.page.weather, c.page.weather) << c.name;
        EXPECT_EQ(got.page.text, c.page.text) << c.name;
        EXPECT_EQ(store.probe(kDay).state, c.state) << c.name;
    }
    Folder empty;
    EXPECT_EQ(EncryptedPageStore(empty.path(), countingKey()).read(kDay).state, PageFileState::Missing);
}

TEST(EncryptedStore, WritesSealedAndKeepsWhatItCantRead)
{
    const Bytes tampered = flipped(sealedPage({1, u"old"}), 40);
    const struct {
        const char* name;
        std::optional<Bytes> before;
        Page page;
        StoreResult result;
        bool sealedAfter;
        std::optional<Bytes> aside; // what must be in 20010607.dry.bad afterwards
    } cases[] = {
        {"new page", std::nullopt, {1, u"새 글"}, StoreResult::Written, true, std::nullopt},
        {"over a plain page", encodePage({2, u"plain"}), {2, u"sealed now"}, StoreResult::Written, true, std::nullopt},
        {"over a sealed page", sealedPage({0, u"a"}), {4, u"b"}, StoreResult::Written, true, std::nullopt},
        {"over a tampered page", tampered, {1, u"new"}, StoreResult::Written, true, tampered},
        {"emptied", sealedPage({0, u"a"}), {0, u""}, StoreResult::Removed, false, std::nullopt},
        {"emptied over a tampered page", tampered, {0, u""}, StoreResult::Removed, true, std::nullopt},
    };
    for (const auto& c : cases) {
        Folder folder;
        if (c.before)
            folder.put("20010607.dry", *c.before);
        EncryptedPageStore store(folder.path(), countingKey());
        PageStamp stamp;
        EXPECT_EQ(store.write(kDay, c.page, &stamp), c.result) << c.name;
        const Bytes after = folder.get("20010607.dry");
        EXPECT_EQ(looksSealed(after), c.sealedAfter) << c.name;
        if (c.result == StoreResult::Written) {
            EXPECT_EQ(openSealed(countingKey(), kDay, SealedKind::Page, after), encodePage(c.page)) << c.name;
            // The stamp of our own write: the next look finds no change from another writer.
            EXPECT_EQ(store.checkOutside(kDay, stamp).change, OutsideChange::None) << c.name;
            EXPECT_EQ(store.read(kDay).stamp.hash, stamp.hash) << c.name;
        }
        if (c.name == std::string("emptied over a tampered page")) {
            EXPECT_EQ(after, tampered);
        }
        EXPECT_EQ(fs::exists(folder.root / "20010607.dry.bad"), c.aside.has_value()) << c.name;
        if (c.aside) {
            EXPECT_EQ(folder.get("20010607.dry.bad"), *c.aside) << c.name;
        }
    }
}

TEST(EncryptedStore, MemosAndConflictCopies)
{
    Folder folder;
    const Bytes wave = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
    folder.put("20010607.wav", sealFile(countingKey(), kDay, SealedKind::Memo, wave));
    folder.put("20010608.wav", wave);
    folder.put("20010609.wav", flipped(sealFile(countingKey(), {2001, 6, 9}, SealedKind::Memo, wave), 31));
    folder.put("20010607.sync-conflict-20010607-101010-ABC.dry", sealedPage({1, u"theirs"}));
    folder.put("20010608 (conflicted copy 2001-06-08 101010).dry", sealedPage({1, u"moved"}, kDay));
    EncryptedPageStore store(folder.path(), countingKey());
    EXPECT_EQ(store.readMemo(kDay, 100), wave);
    EXPECT_EQ(store.readMemo(kDay, 11), std::nullopt) << "larger than asked for";
    EXPECT_EQ(store.readMemo(kNextDay, 100), wave);
    EXPECT_EQ(store.readMemo({2001, 6, 9}, 100), std::nullopt);
    const auto copies = store.conflictCopies(kDay);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(store.readCopy(copies[0]).page.text, u"theirs");
    EXPECT_EQ(store.readCopy(u"20010608 (conflicted copy 2001-06-08 101010).dry").state, PageFileState::Unreadable);
}

struct KeptVersions : PageKeeper {
    void keep(const LocalDate&, bool memo, const Bytes& bytes) override { kept.emplace_back(memo, bytes); }
    // What each version opens to: an encrypted diary's are sealed anew as versions of their day,
    // so none of them opens as a page or memo.
    std::vector<std::pair<bool, Bytes>> opened(bool sealed) const
    {
        std::vector<std::pair<bool, Bytes>> out;
        for (const auto& [memo, bytes] : kept) {
            if (sealed)
                EXPECT_FALSE(openSealed(countingKey(), kDay, memo ? SealedKind::Memo : SealedKind::Page, bytes));
            out.emplace_back(memo, sealed ? openSealed(countingKey(), kDay, memo ? SealedKind::MemoVersion : SealedKind::PageVersion, bytes)
                                                .value_or(Bytes {'?'})
                                          : bytes);
        }
        return out;
    }
    std::vector<std::pair<bool, Bytes>> kept;
};

// A recording goes to the store's draft in pieces, its header rewritten last as the sound
// library does, and is kept as the folder keeps memos: as recorded, or sealed with its day.
TEST(EncryptedStore, ARecordedMemoIsKeptAsTheFolderKeepsItsMemos)
{
    const Bytes old = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'o', 'l', 'd'};
    Bytes recorded(100000);
    for (std::size_t i = 0; i < recorded.size(); ++i)
        recorded[i] = static_cast<std::uint8_t>(i * 7);
    const Bytes header = {'R', 'I', 'F', 'F', 0x98, 0x86, 1, 0};
    for (const bool sealed : {false, true}) {
        SCOPED_TRACE(sealed ? "encrypted" : "plain");
        Folder folder;
        std::unique_ptr<PlainPageStore> store = sealed ? std::make_unique<EncryptedPageStore>(folder.path(), countingKey())
                                                       : std::make_unique<PlainPageStore>(folder.path());
        KeptVersions versions;
        store->setKeeper(&versions);
        folder.put("20010607.wav", sealed ? sealFile(countingKey(), kDay, SealedKind::Memo, old) : old);
        const Bytes oldOnDisk = folder.get("20010607.wav");
        store->keepMemo(kDay);

        auto draft = store->draftMemo(kDay);
        ASSERT_GE(draft->fd(), 0);
        ASSERT_TRUE(writeBytes(draft->fd(), recorded.data(), recorded.size()));
        ASSERT_EQ(::pwrite(draft->fd(), header.data(), header.size(), 0), static_cast<ssize_t>(header.size()));
        // Until it is finished, the old memo is the memo, and no plain recording of an
        // encrypted diary lies in its folder.
        EXPECT_EQ(folder.get("20010607.wav"), oldOnDisk);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.root), {}), sealed ? 1 : 2);
        ASSERT_TRUE(draft->commit());
        draft.reset();

        Bytes expected = recorded;
        std::copy(header.begin(), header.end(), expected.begin());
        const Bytes onDisk = folder.get("20010607.wav");
        EXPECT_EQ(sealed ? openSealed(countingKey(), kDay, SealedKind::Memo, onDisk) : onDisk, expected);
        EXPECT_EQ(store->readMemo(kDay, 1u << 20), expected);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.root), {}), 1);

        // A recording given up leaves the memo and nothing else.
        {
            auto dropped = store->draftMemo(kDay);
            ASSERT_TRUE(writeBytes(dropped->fd(), old.data(), old.size()));
        }
        EXPECT_EQ(folder.get("20010607.wav"), onDisk);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.root), {}), 1);

        // The history holds each memo: the old one, then the recorded one.
        EXPECT_TRUE(store->removeMemo(kDay));
        EXPECT_FALSE(store->hasMemo(kDay));
        EXPECT_EQ(versions.opened(sealed), (std::vector<std::pair<bool, Bytes>> {{true, old}, {true, expected}}));
    }
}

// A second machine's memo, taken or left, and a memo replaced outside: the history gets every
// one as it lay on disk, so an encrypted diary's stay sealed, and a taken copy plays.
TEST(EncryptedStore, MemoCopiesAndReplacedMemosReachTheHistoryAsTheyAreOnDisk)
{
    const Bytes ours = {'R', 'I', 'F', 'F', 'o', 'u', 'r', 's'};
    const Bytes theirs = {'R', 'I', 'F', 'F', 't', 'h', 'e', 'i', 'r', 's'};
    const std::string copy = "20010607.sync-conflict-20261209-051500-ABCDEFG.wav";
    for (const bool sealed : {false, true}) {
        SCOPED_TRACE(sealed ? "encrypted" : "plain");
        Folder folder;
        std::unique_ptr<PlainPageStore> store = sealed ? std::make_unique<EncryptedPageStore>(folder.path(), countingKey())
                                                       : std::make_unique<PlainPageStore>(folder.path());
        KeptVersions versions;
        store->setKeeper(&versions);
        auto onDisk = [&](const Bytes& memo) { return sealed ? sealFile(countingKey(), kDay, SealedKind::Memo, memo) : memo; };
        folder.put("20010607.wav", onDisk(ours));
        folder.put(copy, onDisk(theirs));
        const Bytes oursOnDisk = folder.get("20010607.wav"), theirsOnDisk = folder.get(copy);

        ASSERT_EQ(store->memoConflictCopies(kDay), std::vector<std::u16string> {fromUtf8(copy)});
        EXPECT_FALSE(store->takeMemoCopy(kDay, u"../20010607.sync-conflict-x.wav")) << "only a copy in the folder";
        ASSERT_TRUE(store->takeMemoCopy(kDay, fromUtf8(copy)));
        EXPECT_EQ(store->readMemo(kDay, 1u << 20), theirs);
        EXPECT_TRUE(store->memoConflictCopies(kDay).empty());

        folder.put(copy, oursOnDisk);
        ASSERT_TRUE(store->dropMemoCopy(kDay, fromUtf8(copy)));
        EXPECT_FALSE(fs::exists(folder.root / copy));

        const MemoSnapshot shown = store->snapshotMemo(kDay, 1u << 20);
        folder.put("20010607.wav", onDisk(ours));
        EXPECT_TRUE(store->keepReplacedMemo(kDay, shown));
        EXPECT_EQ(versions.opened(sealed), (std::vector<std::pair<bool, Bytes>> {{true, ours}, {true, ours}, {true, theirs}}));
    }
}

// Once a conversion ended, a plain page or memo found in the folder was put there without the
// key: never the day's page or memo, only offered as a copy of its day, and never lost. Before
// the mark (a conversion under way, a machine not converted yet) it reads as ever.
TEST(EncryptedStore, AfterTheMarkAPlainFileIsOnlyOffered)
{
    const Bytes wave = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const bool ended : {false, true}) {
        SCOPED_TRACE(ended ? "after the mark" : "before the mark");
        Folder folder;
        const auto made = createKeyFile(bytesOf("pw"), kQuickKdf);
        ASSERT_TRUE(made && writeFolderKeyFile(folder.path(), made->file));
        folder.put("20010608.dry", encodePage({1, u"sealed by the conversion"}));
        if (ended)
            EXPECT_TRUE(sealFolder(folder.path(), made->key).ended);
        // Put in by someone who holds the synced folder but not the key.
        folder.put("20010607.dry", encodePage({2, u"planted"}));
        folder.put("20010607.wav", wave);
        const auto read = readFolderKeyFile(folder.path(), kQuickLimits);
        ASSERT_TRUE(read);
        auto key = unlockWithPassphrase(*read, bytesOf("pw"), kQuickLimits);
        ASSERT_TRUE(key);
        EXPECT_EQ(key->conversionEnded(), ended);
        EncryptedPageStore store(folder.path(), std::move(*key));
        KeptVersions versions;
        store.setKeeper(&versions);

        const LoadedPage page = store.read(kDay);
        EXPECT_EQ(page.state, ended ? PageFileState::Unreadable : PageFileState::Readable);
        EXPECT_EQ(page.page.text, ended ? u"" : u"planted");
        EXPECT_EQ(store.readMemo(kDay, 100), ended ? std::nullopt : std::optional(wave));
        EXPECT_EQ(store.untrusted(u"20010607.dry"), ended);
        EXPECT_EQ(store.untrusted(u"20010607.wav"), ended);
        EXPECT_FALSE(store.untrusted(u"20010608.dry"));
        EXPECT_EQ(store.read(kNextDay).page.text, u"sealed by the conversion");
        if (!ended) {
            EXPECT_TRUE(store.conflictCopies(kDay).empty());
            continue;
        }
        // Offered with its text, as a conflict copy of its day.
        ASSERT_EQ(store.conflictCopies(kDay), std::vector<std::u16string> {u"20010607.dry"});
        EXPECT_EQ(store.readCopy(u"20010607.dry").page.text, u"planted");
        ASSERT_EQ(store.memoConflictCopies(kDay), std::vector<std::u16string> {u"20010607.wav"});

        // The day written before it is taken in: the plain page stays on offer under a copy's name.
        ASSERT_EQ(store.write(kDay, {1, u"mine"}), StoreResult::Written);
        EXPECT_EQ(store.read(kDay).page.text, u"mine");
        const auto copies = store.conflictCopies(kDay);
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_NE(copies[0], u"20010607.dry");
        EXPECT_EQ(store.readCopy(copies[0]).page.text, u"planted");
        EXPECT_TRUE(versions.kept.empty()) << "a page not the diary's is no version of it";
        // Taken in (merged into the day, which is written), it goes by the name it was offered under.
        EXPECT_TRUE(store.removeCopy(u"20010607.dry"));
        EXPECT_TRUE(store.conflictCopies(kDay).empty());
        EXPECT_EQ(store.read(kDay).page.text, u"mine");

        // The memo taken in is sealed where it lies.
        ASSERT_TRUE(store.takeMemoCopy(kDay, u"20010607.wav"));
        EXPECT_TRUE(looksSealed(folder.get("20010607.wav")));
        EXPECT_EQ(store.readMemo(kDay, 100), wave);
        EXPECT_TRUE(store.memoConflictCopies(kDay).empty());
    }
}

// A folder as people have them: odd pages, a memo, a conflict copy, files of their own.
std::map<std::string, Bytes> sampleFolder()
{
    return {
        {"20010607.dry", encodePage({1, u"첫 장"})},
        {"20010608.dry", Bytes {4, 0, 0, 0, 9, 0, 0, 0, 'a', 0, 'b'}},
        {"20010609.dry", Bytes {1, 0, 0}},
        {"20010610.dry", encodePage({0, std::u16string(50000, u'x')})},
        {"20010607.wav", Bytes {'R', 'I', 'F', 'F', 0, 0, 0, 0}},
        {"20010607.sync-conflict-20010607-101010-ABC.dry", encodePage({2, u"theirs"})},
        {"20010607.sync-conflict-20010607-101010-ABC.wav", Bytes {'R', 'I', 'F', 'F', 1, 0, 0, 0}},
        {"notes.txt", Bytes {'h', 'i'}},
        {"20010611.dry.bad", Bytes {9, 9}},
    };
}

TEST(EncryptedStore, ConversionBothWaysGivesTheSameBytes)
{
    Folder folder;
    const auto files = sampleFolder();
    for (const auto& [name, bytes] : files)
        folder.put(name, bytes);
    const auto made = createKeyFile(bytesOf("pw"), kQuickKdf);
    ASSERT_TRUE(made && writeFolderKeyFile(folder.path(), made->file));
    EXPECT_TRUE(isEncryptedFolder(folder.path()));

    std::vector<int> progress;
    const Conversion sealed = sealFolder(folder.path(), made->key, [&](int done, int total) { progress.push_back(done * 100 + total); });
    EXPECT_EQ(sealed.converted, 7);
    EXPECT_TRUE(sealed.kept.empty());
    EXPECT_TRUE(sealed.ended);
    EXPECT_EQ(readFolderKeyFile(folder.path(), kQuickLimits)->conversionEnded, 1u);
    EXPECT_EQ(progress, (std::vector<int> {107, 207, 307, 407, 507, 607, 707}));
    for (const auto& [name, bytes] : files)
        EXPECT_EQ(looksSealed(folder.get(name)), name.starts_with("2001") && !name.ends_with(".bad")) << name;
    EXPECT_EQ(sealFolder(folder.path(), made->key).converted, 0) << "a second run has nothing left";

    const auto store = openPageStore(folder.path(), made->key.copy());
    EXPECT_EQ(store->read(kDay).page.text, u"첫 장");
    EXPECT_EQ(store->read({2001, 6, 8}).page.text, u"a");
    EXPECT_EQ(store->read({2001, 6, 9}).state, PageFileState::Unreadable);
    EXPECT_EQ(store->readMemo(kDay, 100), files.at("20010607.wav"));

    const Conversion plain = unsealFolder(folder.path(), made->key);
    EXPECT_EQ(plain.converted, 7);
    for (const auto& [name, bytes] : files)
        EXPECT_EQ(folder.get(name), bytes) << name;
    EXPECT_FALSE(isEncryptedFolder(folder.path()));
}

// Stopped halfway (some files sealed, some not), either way round, the next run finishes; a
// sealed file that won't open stays, and so does the key that might yet open it.
TEST(EncryptedStore, HalfConvertedFolders)
{
    const auto files = sampleFolder();
    const auto made = createKeyFile(bytesOf("pw"), kQuickKdf);
    ASSERT_TRUE(made);
    Folder folder;
    bool seal = false;
    for (const auto& [name, bytes] : files) {
        const bool diary = name.starts_with("2001") && !name.ends_with(".bad");
        const SealedKind kind = name.ends_with(".wav") ? SealedKind::Memo : SealedKind::Page;
        const LocalDate day {2001, 6, diary ? std::stoi(name.substr(6, 2)) : 1};
        folder.put(name, diary && (seal = !seal) ? sealFile(made->key, day, kind, bytes) : bytes);
    }
    ASSERT_TRUE(writeFolderKeyFile(folder.path(), made->file));
    EXPECT_EQ(unsealFolder(folder.path(), made->key).converted, 4);
    for (const auto& [name, bytes] : files)
        EXPECT_EQ(folder.get(name), bytes) << name;

    ASSERT_TRUE(writeFolderKeyFile(folder.path(), made->file));
    folder.put("20010612.dry", flipped(sealedPage({1, u"x"}, {2001, 6, 12}), 40));
    const Conversion blocked = unsealFolder(folder.path(), countingKey());
    EXPECT_EQ(blocked.kept, std::vector<std::u16string> {u"20010612.dry"});
    EXPECT_TRUE(isEncryptedFolder(folder.path()));

    // Decrypting takes the conversion's mark off first: stopped halfway, its plain pages are the
    // diary's again.
    ASSERT_TRUE(writeFolderKeyFile(folder.path(), withConversionMark(made->file, made->key, true)));
    folder.put("20010612.dry", flipped(sealFile(made->key, {2001, 6, 12}, SealedKind::Page, encodePage({1, u"x"})), 40));
    EXPECT_FALSE(unsealFolder(folder.path(), made->key).kept.empty());
    const auto read = readFolderKeyFile(folder.path(), kQuickLimits);
    ASSERT_TRUE(read);
    const auto key = unlockWithPassphrase(*read, bytesOf("pw"), kQuickLimits);
    ASSERT_TRUE(key);
    EXPECT_FALSE(key->conversionEnded());
    EXPECT_EQ(openPageStore(folder.path(), key->copy())->read(kDay).page.text, u"첫 장");
}

TEST(EncryptedStore, KeyFileOfTheFolder)
{
    Folder folder;
    EXPECT_FALSE(isEncryptedFolder(folder.path()));
    EXPECT_NE(readFolderKeyFile(folder.path()).error().find("cannot read the key file"), std::string::npos);
    folder.put("pagelet.key", Bytes(5000, 0));
    EXPECT_NE(readFolderKeyFile(folder.path()).error().find("cannot read the key file"), std::string::npos);
    const auto made = createKeyFile(bytesOf("pw"), kQuickKdf);
    ASSERT_TRUE(made && writeFolderKeyFile(folder.path(), made->file));
    // Below the floor only the passphrase slot is refused: the recovery key still opens it.
    const auto strict = readFolderKeyFile(folder.path());
    ASSERT_TRUE(strict) << strict.error();
    EXPECT_NE(passphraseSlotDamage(strict->passphrase).find("outside"), std::string::npos);
    EXPECT_TRUE(readFolderKeyFile(folder.path(), kQuickLimits));
}

} // namespace
} // namespace pagelet::testing
