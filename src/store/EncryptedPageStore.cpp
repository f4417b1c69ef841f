#include "store/EncryptedPageStore.h"

#include "base/FileIo.h"
#include "base/ReadableFile.h"
#include "crypto/SealedFile.h"
#include "crypto/SodiumCalls.h"
#include "store/DayFileName.h"

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

// A memo of an encrypted diary is recorded into memory (an anonymous memory file), never into
// a file in any folder, and sealed as a whole when it is finished.
class SealedMemoDraft : public MemoDraft {
public:
    // A copy of the key: the window may change stores while a recording is finished.
    SealedMemoDraft(const DiaryKey& key, const LocalDate& date, std::u16string memo)
        : m_key(DiaryKey::fromBytes(key.bytes())), m_date(date), m_memo(std::move(memo)),
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
                                           PageStamp* stamp) const
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
    if (!looksSealed(sealed))
        return readPageInto(path, page, stamp); // the plain reader's own rules, byte for byte
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
    return readFileInto(pagePath(date), date, page, stamp);
}

StoreResult EncryptedPageStore::write(const LocalDate& date, const Page& page, PageStamp* stamp)
{
    keepOld(date, false);
    const StoreResult result = storePageFileAs(pagePath(date), page, probe(date).state,
                                               [&](const Bytes& plain) { return sealFile(m_key, date, SealedKind::Page, plain); },
                                               stamp);
    if (result != StoreResult::Failed)
        notifyChanged(date);
    return result;
}

LoadedPage EncryptedPageStore::readCopy(const std::u16string& name) const
{
    LoadedPage loaded;
    static_cast<PageCheck&>(loaded) = readFileInto(folder() + name, dayOfCopy(name), loaded.page, nullptr);
    if (loaded.state != PageFileState::Readable)
        loaded.page = Page {};
    return loaded;
}

std::optional<Bytes> EncryptedPageStore::readMemo(const LocalDate& date, std::size_t maxBytes) const
{
    const std::size_t overhead = kSealedHeaderBytes + kSealedTagBytes;
    auto bytes = PlainPageStore::readMemo(date, maxBytes > std::numeric_limits<std::size_t>::max() - overhead ? maxBytes : maxBytes + overhead);
    if (!bytes || !looksSealed(*bytes))
        return bytes && bytes->size() <= maxBytes ? bytes : std::nullopt;
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
    auto plain = openSealed(m_key, date, SealedKind::Page, bytes);
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
    const Bytes sealed = sealFile(m_key, date, SealedKind::Page, plain);
    libsodium().sodium_memzero(plain.data(), plain.size());
    keeper()->keep(date, false, sealed);
}

} // namespace pagelet
