#include "store/EncryptedPageStore.h"

#include "base/FileIo.h"
#include "base/ReadableFile.h"
#include "base/Text.h"
#include "crypto/SealedFile.h"
#include "crypto/SodiumCalls.h"
#include "store/DayFileName.h"
#include "store/DayKey.h"

#include <fcntl.h>
#include <stdio.h>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace pagelet {

namespace {

constexpr std::uint64_t kSealedLimit = static_cast<std::uint64_t>(kPageFileLimit) + kSealedHeaderBytes + kSealedTagBytes;

// A page's bytes as the plain reader takes them, from memory.
PageCheck decodeInto(std::span<const std::uint8_t> plain, Page& page)
{
    const PageHeader header = decodePageHeader(plain.data(), std::min(plain.size(), kPageHeaderBytes), plain.size());
    if (!header.usable())
        return {PageFileState::Unreadable, header.fault};
    page.weather = header.weather;
    page.text.resize(static_cast<std::size_t>(header.units));
    if (!page.text.empty())
        std::memcpy(page.text.data(), plain.data() + kPageHeaderBytes, page.text.size() * 2);
    if constexpr (std::endian::native == std::endian::big)
        for (char16_t& c : page.text)
            c = static_cast<char16_t>(c >> 8 | c << 8);
    return {PageFileState::Readable, header.fault};
}

// The day a conflict copy's name starts with ("20010607.sync-conflict-…").
std::optional<LocalDate> dayOfCopy(const std::u16string& name)
{
    const auto file = parseDayFileName(name);
    return file ? std::optional(file->date) : std::nullopt;
}

// The day's memo file name ("20010607.wav"), when name is one.
std::optional<LocalDate> dayOfMemo(const std::u16string& name)
{
    const auto file = parseDayFileName(name);
    return file && file->kind == DayFileKind::Memo && !file->conflictCopy ? std::optional(file->date) : std::nullopt;
}

// The page at path moved to a conflict copy's name of its own day; the name, or nothing.
std::optional<std::u16string> moveToCopyName(const std::u16string& folder, const std::u16string& name)
{
    const std::u16string stem = name.substr(0, name.size() - kPageExtension.size());
    for (int n = 1; n < 1000; ++n) {
        const std::u16string copy = stem + u".sync-conflict-plain-" + fromAscii(std::to_string(n)) + kPageExtension;
        const std::string from = toUtf8(folder + name), to = toUtf8(folder + copy);
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return copy;
        if (errno == EEXIST)
            continue;
        if (errno != EINVAL && errno != ENOSYS)
            return std::nullopt;
        // File systems without the flag: a hard link never replaces anything either.
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return copy;
        }
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

// A memo of an encrypted diary is recorded into memory (an anonymous memory file), never into
// a file in any folder, and sealed as a whole when it is finished.
class SealedMemoDraft : public MemoDraft {
public:
    // A copy of the key: the window may change stores while a recording is finished.
    SealedMemoDraft(const DiaryKey& key, const LocalDate& date, std::u16string memo)
        : m_key(key.copy()), m_date(date), m_memo(std::move(memo)),
          m_fd(m_key ? ::memfd_create("pagelet-memo", MFD_CLOEXEC) : -1)
    {
    }
    ~SealedMemoDraft() override { close(); }
    int fd() const override { return m_fd; }
    bool commit() override
    {
        auto plain = readBack();
        close();
        if (!plain)
            return false;
        const Bytes sealed = sealFile(*m_key, m_date, SealedKind::Memo, *plain);
        libsodium().sodium_memzero(plain->data(), plain->size());
        return writeFileAtomic(m_memo, sealed);
    }

private:
    std::optional<Bytes> readBack() const
    {
        struct stat st {};
        if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
            return std::nullopt;
        return readWholeAt(m_fd, static_cast<std::size_t>(st.st_size));
    }
    void close()
    {
        if (m_fd < 0)
            return;
        // Emptied first: the recording is gone from memory even while someone else still held it.
        (void)::ftruncate(m_fd, 0);
        ::close(m_fd);
        m_fd = -1;
    }

    std::optional<DiaryKey> m_key;
    LocalDate m_date;
    std::u16string m_memo;
    int m_fd;
};

} // namespace

EncryptedPageStore::EncryptedPageStore(std::u16string folder, DiaryKey key)
    : PlainPageStore(std::move(folder)), m_key(std::move(key))
{
}

PageCheck EncryptedPageStore::readFileInto(const std::u16string& path, const std::optional<LocalDate>& day, Page& page,
                                           PageStamp* stamp, bool copy) const
{
    Bytes sealed;
    std::int64_t mtimeNs = 0;
    std::uint64_t inode = 0;
    {
        ReadableFile file(path, kSealedLimit, ReadableFile::Links::Refuse);
        if (file.state() == ReadableFile::State::Missing)
            return {};
        if (file.state() != ReadableFile::State::Open)
            return {PageFileState::Unreadable, PageFault::CannotOpen};
        auto bytes = file.readAll();
        if (!bytes)
            return {PageFileState::Unreadable, PageFault::ReadError};
        sealed = std::move(*bytes);
        mtimeNs = file.mtimeNs();
        inode = file.inode();
    }
    if (!looksSealed(sealed)) {
        if (!copy && m_key.conversionEnded())
            return {PageFileState::Unreadable, PageFault::Untrusted};
        return readPageInto(path, page, stamp); // the plain reader's own rules, byte for byte
    }
    // Opened where it was read: no second buffer of plain bytes to fill and wipe.
    const auto plain = day ? openSealedInPlace(m_key, *day, SealedKind::Page, sealed) : std::nullopt;
    if (!plain)
        return {PageFileState::Unreadable, PageFault::Unsealed};
    const PageCheck check = decodeInto(*plain, page);
    if (check.state == PageFileState::Readable && stamp) {
        const std::size_t head = std::min(plain->size(), kPageHeaderBytes);
        *stamp = {true, sealed.size(), mtimeNs, inode, pageHash(plain->data(), head, plain->data() + head, page.text.size() * 2)};
    }
    libsodium().sodium_memzero(sealed.data(), sealed.size());
    return check;
}

PageCheck EncryptedPageStore::probe(const LocalDate& date) const
{
    // Whether a sealed page opens is known only by opening it.
    Page page;
    return readInto(date, page);
}

PageCheck EncryptedPageStore::readInto(const LocalDate& date, Page& page, PageStamp* stamp) const
{
    return readFileInto(pagePath(date), date, page, stamp, false);
}

StoreResult EncryptedPageStore::write(const LocalDate& date, const Page& page, PageStamp* stamp)
{
    PageFileState before = PageFileState::Missing;
    const std::u16string name = makeDateKey(date) + kPageExtension;
    if (untrustedPath(folder() + name)) {
        // Not the diary's page, and not ours to lose: it stays on offer under a copy's name.
        const auto copy = moveToCopyName(folder(), name);
        if (!copy)
            return StoreResult::Failed;
        m_setAside[name] = *copy;
    } else {
        keepOld(date, false);
        before = probe(date).state;
    }
    const StoreResult result = storePageFileAs(pagePath(date), page, before,
                                               [&](const Bytes& plain) { return sealFile(m_key, date, SealedKind::Page, plain); },
                                               stamp);
    if (result != StoreResult::Failed)
        notifyChanged(date);
    return result;
}

LoadedPage EncryptedPageStore::readCopy(const std::u16string& name) const
{
    LoadedPage loaded;
    static_cast<PageCheck&>(loaded) = readFileInto(folder() + name, dayOfCopy(name), loaded.page, nullptr, true);
    if (loaded.state != PageFileState::Readable)
        loaded.page = Page {};
    return loaded;
}

std::optional<Bytes> EncryptedPageStore::readMemo(const LocalDate& date, std::size_t maxBytes) const
{
    const std::size_t overhead = kSealedHeaderBytes + kSealedTagBytes;
    auto bytes = PlainPageStore::readMemo(date, maxBytes > std::numeric_limits<std::size_t>::max() - overhead ? maxBytes : maxBytes + overhead);
    if (!bytes || !looksSealed(*bytes))
        return bytes && bytes->size() <= maxBytes && !m_key.conversionEnded() ? bytes : std::nullopt;
    return openSealed(m_key, date, SealedKind::Memo, *bytes);
}

std::unique_ptr<MemoDraft> EncryptedPageStore::draftMemo(const LocalDate& date)
{
    return std::make_unique<SealedMemoDraft>(m_key, date, memoPath(date));
}

std::optional<Page> EncryptedPageStore::pageOfFileBytes(const LocalDate& date, const Bytes& bytes) const
{
    if (!looksSealed(bytes))
        return decodePage(bytes);
    auto plain = openSealed(m_key, date, SealedKind::PageVersion, bytes);
    if (!plain)
        return std::nullopt;
    auto page = decodePage(*plain);
    libsodium().sodium_memzero(plain->data(), plain->size());
    return page;
}

void EncryptedPageStore::keepUnstored(const LocalDate& date, const Page& page)
{
    // Never plain on disk, not even in the history.
    if (!keeper())
        return;
    Bytes plain = encodePage(page);
    const Bytes sealed = sealFile(m_key, date, SealedKind::PageVersion, plain);
    libsodium().sodium_memzero(plain.data(), plain.size());
    keeper()->keep(date, false, sealed);
}

void EncryptedPageStore::keepVersion(const LocalDate& date, bool memo, const Bytes& onDisk) const
{
    // Sealed anew as a version: a kept version can't be put back as a page or journal entry.
    std::optional<Bytes> plain;
    if (looksSealed(onDisk))
        plain = openSealed(m_key, date, memo ? SealedKind::Memo : SealedKind::Page, onDisk);
    else
        plain = onDisk;
    if (!plain) {
        keeper()->keep(date, memo, onDisk); // damaged: kept as it was, for whoever can mend it
        return;
    }
    const Bytes sealed = sealFile(m_key, date, memo ? SealedKind::MemoVersion : SealedKind::PageVersion, *plain);
    libsodium().sodium_memzero(plain->data(), plain->size());
    keeper()->keep(date, memo, sealed);
}

bool EncryptedPageStore::untrustedPath(const std::u16string& path) const
{
    if (!m_key.conversionEnded())
        return false;
    ReadableFile file(path, std::numeric_limits<std::uint64_t>::max(), ReadableFile::Links::Refuse);
    if (file.state() != ReadableFile::State::Open)
        return false;
    const auto head = file.read(4);
    return head && !looksSealed(*head);
}

bool EncryptedPageStore::untrusted(const std::u16string& name) const
{
    return name.find(u'/') == std::u16string::npos && (pageDateOf(name) || dayOfMemo(name)) && untrustedPath(folder() + name);
}

std::vector<std::u16string> EncryptedPageStore::conflictCopies(const LocalDate& date) const
{
    auto names = PlainPageStore::conflictCopies(date);
    if (std::u16string own = makeDateKey(date) + kPageExtension; untrustedPath(folder() + own))
        names.insert(names.begin(), std::move(own));
    return names;
}

bool EncryptedPageStore::removeCopy(const std::u16string& name)
{
    if (!pageDateOf(name))
        return PlainPageStore::removeCopy(name);
    // The day's own file, offered while plain: by now the page sealed there, or still the
    // plain file when it was taken in without a page being written.
    if (const auto aside = m_setAside.find(name); aside != m_setAside.end()) {
        const bool removed = PlainPageStore::removeCopy(aside->second);
        m_setAside.erase(aside);
        return removed;
    }
    return !untrustedPath(folder() + name) || removeFile(folder() + name);
}

std::vector<std::u16string> EncryptedPageStore::memoConflictCopies(const LocalDate& date) const
{
    auto names = PlainPageStore::memoConflictCopies(date);
    if (std::u16string own = memoPath(date).substr(folder().size()); untrustedPath(folder() + own))
        names.insert(names.begin(), std::move(own));
    return names;
}

bool EncryptedPageStore::sealCopyInto(const LocalDate& date, const std::u16string& copy, const std::u16string& target)
{
    auto bytes = ReadableFile(copy, std::numeric_limits<std::uint64_t>::max(), ReadableFile::Links::Refuse).readAll();
    if (!bytes)
        return false;
    const bool written = writeFileAtomic(target, sealFile(m_key, date, SealedKind::Memo, *bytes));
    libsodium().sodium_memzero(bytes->data(), bytes->size());
    return written;
}

bool EncryptedPageStore::takeMemoCopy(const LocalDate& date, const std::u16string& name)
{
    const std::u16string own = memoPath(date).substr(folder().size());
    bool taken = false;
    if (name == own) {
        // Taken in where it lies, sealed.
        taken = untrustedPath(memoPath(date)) && sealCopyInto(date, memoPath(date), memoPath(date));
    } else if (name.find(u'/') == std::u16string::npos && isConflictCopyOf(name, own) && untrustedPath(folder() + name)) {
        // A plain copy renamed into place would be a plain memo again.
        keepOld(date, true);
        taken = sealCopyInto(date, folder() + name, memoPath(date)) && removeFile(folder() + name);
    } else {
        return PlainPageStore::takeMemoCopy(date, name);
    }
    if (taken)
        notifyChanged(date);
    return taken;
}

bool EncryptedPageStore::dropMemoCopy(const LocalDate& date, const std::u16string& name)
{
    if (name != memoPath(date).substr(folder().size()))
        return PlainPageStore::dropMemoCopy(date, name);
    if (!untrustedPath(memoPath(date)))
        return false;
    keepOld(date, true);
    if (!removeFile(memoPath(date)))
        return false;
    notifyChanged(date);
    return true;
}

} // namespace pagelet
