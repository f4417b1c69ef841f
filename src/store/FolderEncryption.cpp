#include "store/FolderEncryption.h"

#include "base/FileIo.h"
#include "base/ReadableFile.h"
#include "base/Text.h"
#include "crypto/SealedFile.h"
#include "store/DayFileName.h"
#include "store/DayKey.h"
#include "store/EncryptedPageStore.h"
#include "store/PageFormat.h"
#include "crypto/SodiumCalls.h"


#include <algorithm>
#include <dirent.h>

namespace pagelet {

namespace {

// Memos may be long recordings; pages are held to the page limit anyway.
constexpr std::uint64_t kConvertLimit = 1ull << 30;

struct Kept {
    LocalDate day;
    SealedKind kind;
};

// What a name in the data folder holds, when the conversion takes it.
std::optional<Kept> keptAs(const std::u16string& name)
{
    const auto file = parseDayFileName(name);
    // Sync tools' copies of a memo are sealed as memos, like the memo itself.
    if (!file)
        return std::nullopt;
    return Kept {file->date, file->kind == DayFileKind::Memo ? SealedKind::Memo : SealedKind::Page};
}

enum class Step { Done, Untouched, Kept, Doubtful };

Step convert(const std::u16string& path, const Kept& kept, const DiaryKey& key, bool seal)
{
    ReadableFile file(path, kConvertLimit, ReadableFile::Links::Refuse);
    // A link or anything else that is no regular file reads as unreadable in either form.
    if (file.state() != ReadableFile::State::Open)
        return Step::Untouched;
    auto bytes = file.readAll();
    if (!bytes)
        return Step::Kept;
    if (looksSealed(*bytes) == seal) {
        // A sealed page damaged past its magic reads as a plain one with a length or weather
        // that no page of ours has: left as it is, the key file stays for it.
        if (seal || kept.kind == SealedKind::Memo)
            return Step::Untouched;
        const auto header = decodePageHeader(bytes->data(), std::min(bytes->size(), kPageHeaderBytes), bytes->size());
        return header.fault == PageFault::None ? Step::Untouched : Step::Doubtful;
    }
    if (seal) {
        // The plain bytes as they are, odd ones too: unsealing gives back the very same file.
        const bool written = writeFileAtomic(path, sealFile(key, kept.day, kept.kind, *bytes));
        libsodium().sodium_memzero(bytes->data(), bytes->size());
        return written ? Step::Done : Step::Kept;
    }
    auto plain = openSealed(key, kept.day, kept.kind, *bytes);
    if (!plain)
        return Step::Kept;
    const bool written = writeFileAtomic(path, *plain);
    libsodium().sodium_memzero(plain->data(), plain->size());
    return written ? Step::Done : Step::Kept;
}

Conversion convertFolder(const std::u16string& folder, const DiaryKey& key, bool seal, const ConversionProgress& progress)
{
    Conversion result;
    DIR* dir = ::opendir(folder.empty() ? "." : toUtf8(folder).c_str());
    if (!dir) {
        result.folderRead = false;
        return result;
    }
    // What a killed run left half written: a decrypting one's may hold a plain page.
    removeTemporaryFiles(folder);
    std::vector<std::pair<std::u16string, Kept>> names;
    while (dirent* e = ::readdir(dir)) {
        std::u16string name = fromUtf8(e->d_name);
        if (const auto kept = keptAs(name))
            names.emplace_back(std::move(name), *kept);
    }
    ::closedir(dir);
    // Oldest day first, so progress reads as it goes through the diary.
    std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    int done = 0;
    for (const auto& [name, kept] : names) {
        switch (convert(folder + name, kept, key, seal)) {
        case Step::Done:
            ++result.converted;
            break;
        case Step::Kept:
            result.kept.push_back(name);
            break;
        case Step::Doubtful:
            result.doubtful.push_back(name);
            break;
        case Step::Untouched:
            break;
        }
        if (progress)
            progress(++done, static_cast<int>(names.size()));
    }
    return result;
}

} // namespace

std::u16string keyFilePath(const std::u16string& folder)
{
    return folder + kKeyFileName;
}

bool isEncryptedFolder(const std::u16string& folder)
{
    return isFile(keyFilePath(folder));
}

bool holdsSealedFile(const std::u16string& folder)
{
    constexpr int kSealedProbes = 4;
    DIR* dir = ::opendir(folder.empty() ? "." : toUtf8(folder).c_str());
    if (!dir)
        return false;
    // A folder that lost its key file after a conversion holds sealed files only, and a
    // conversion writes the key file before any page: a few files tell, and a plain diary's
    // start doesn't open each of its pages.
    bool found = false;
    int looked = 0;
    while (dirent* e = ::readdir(dir)) {
        if (!keptAs(fromUtf8(e->d_name)))
            continue;
        if (++looked > kSealedProbes)
            break;
        ReadableFile file(toUtf8(folder) + e->d_name, kConvertLimit, ReadableFile::Links::Refuse);
        const auto head = file.read(4);
        if (head && looksSealed(*head)) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

KeyFileRead readFolderKeyFile(const std::u16string& folder, const KdfLimits& limits)
{
    ReadableFile file(keyFilePath(folder), 4096);
    auto bytes = file.readAll();
    if (!bytes)
        return Failure {"cannot read the key file"};
    return parseKeyFile(*bytes, limits);
}

Outcome<void> writeFolderKeyFile(const std::u16string& folder, const KeyFile& file)
{
    if (!writeFileAtomic(keyFilePath(folder), encodeKeyFile(file)))
        return Failure {"cannot write the key file " + toUtf8(keyFilePath(folder))};
    return {};
}

std::unique_ptr<PlainPageStore> openPageStore(const std::u16string& folder, std::optional<DiaryKey> key)
{
    if (key)
        return std::make_unique<EncryptedPageStore>(folder, std::move(*key));
    return std::make_unique<PlainPageStore>(folder);
}

namespace {

class CopyingStore : public PlainPageStore {
public:
    CopyingStore(std::u16string folder, bool marked) : PlainPageStore(std::move(folder)), m_marked(marked) {}

    bool untrusted(const std::u16string& name) const override
    {
        if (!m_marked || name.find(u'/') != std::u16string::npos)
            return false;
        const auto day = parseDayFileName(name);
        if (!day || day->conflictCopy)
            return false;
        ReadableFile file(folder() + name, kConvertLimit, ReadableFile::Links::Refuse);
        const auto head = file.state() == ReadableFile::State::Open ? file.read(4) : std::nullopt;
        return head && !looksSealed(*head);
    }

private:
    bool m_marked;
};

} // namespace

std::unique_ptr<PlainPageStore> openStoreForCopies(const std::u16string& folder)
{
    bool marked = false;
    if (isEncryptedFolder(folder)) {
        const KeyFileRead read = readFolderKeyFile(folder, {{0, 0}, {~0ull, ~0ull}});
        marked = read && read->conversionEnded != 0;
    }
    return std::make_unique<CopyingStore>(folder, marked);
}

Conversion sealFolder(const std::u16string& folder, const DiaryKey& key, const ConversionProgress& progress)
{
    Conversion result = convertFolder(folder, key, true, progress);
    if (!result.folderRead || !result.kept.empty())
        return result;
    // Every file is sealed: from here on a plain one did not come from this diary.
    const KeyFileRead read = readFolderKeyFile(folder, {{0, 0}, {~0ull, ~0ull}});
    if (!read || read->version < 2)
        return result;
    if (read->conversionEnded && keyFileTagHolds(*read, key)) {
        result.ended = true;
        return result;
    }
    result.ended = writeFolderKeyFile(folder, withConversionMark(*read, key, true)).ok();
    return result;
}

Conversion unsealFolder(const std::u16string& folder, const DiaryKey& key, const ConversionProgress& progress,
                        const std::function<void()>& beforeKeyGoes)
{
    // Plain files are the diary's again while it goes, and if it stops halfway.
    const KeyFileRead read = readFolderKeyFile(folder, {{0, 0}, {~0ull, ~0ull}});
    if (read && read->conversionEnded && !writeFolderKeyFile(folder, withConversionMark(*read, key, false))) {
        Conversion refused;
        refused.kept.push_back(kKeyFileName);
        return refused;
    }
    Conversion result = convertFolder(folder, key, false, progress);
    if (!result.folderRead || !result.kept.empty() || !result.doubtful.empty())
        return result;
    // Killed between the two, the folder still has its key file and a second run ends it.
    if (beforeKeyGoes)
        beforeKeyGoes();
    if (!removeFile(keyFilePath(folder)))
        result.kept.push_back(kKeyFileName);
    return result;
}

} // namespace pagelet
