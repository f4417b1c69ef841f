#include "store/PlainPageFile.h"

#include "base/FileIo.h"
#include "base/ReadableFile.h"
#include "base/Text.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <limits>
#include <unistd.h>

namespace pagelet {

namespace {

std::u16string asidePath(const std::u16string& path)
{
    const bool named = path.ends_with(kPageExtension);
    return path.substr(0, path.size() - (named ? kPageExtension.size() : 0)) + kBadPageExtension;
}

// rename that refuses to replace an existing target.
bool moveAside(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without the flag: a hard link never replaces anything either.
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    ::unlink(from.c_str());
    return true;
}

} // namespace

namespace {

// The header of what is at the file's path; nothing when nothing is there.
// head receives the bytes read, headBytes how many: the hash of a page starts with them.
std::optional<PageHeader> readHeader(ReadableFile& file, std::uint8_t* head, std::size_t& headBytes)
{
    if (file.state() == ReadableFile::State::Missing)
        return std::nullopt;
    if (file.state() != ReadableFile::State::Open)
        return PageHeader {0, 0, PageFault::CannotOpen};
    const auto got = file.readInto(head, kPageHeaderBytes);
    if (!got)
        return PageHeader {0, 0, PageFault::ReadError};
    headBytes = *got;
    return decodePageHeader(head, *got, file.size());
}

PageCheck checkOf(const std::optional<PageHeader>& header)
{
    if (!header)
        return {};
    return {header->usable() ? PageFileState::Readable : PageFileState::Unreadable, header->fault};
}

} // namespace

// The text is read straight into the page: a month's search reads 31 pages, and a second
// 100 KB buffer for each costs more than reading it.
PageCheck readPageInto(const std::u16string& path, Page& page, PageStamp* stamp)
{
    return readPageInto(toUtf8(path), page, stamp);
}

// The header and the text come in one read: a search opens thousands of pages, and a second
// trip into the kernel for each cost more than moving the text down by the header.
PageCheck readPageInto(const std::string& utf8Path, Page& page, PageStamp* stamp)
{
    ReadableFile file(utf8Path, static_cast<std::uint64_t>(kPageFileLimit), ReadableFile::Links::Refuse);
    if (file.state() == ReadableFile::State::Missing)
        return {};
    if (file.state() != ReadableFile::State::Open)
        return {PageFileState::Unreadable, PageFault::CannotOpen};
    constexpr std::size_t kHeadUnits = kPageHeaderBytes / 2;
    const auto size = static_cast<std::size_t>(file.size());
    page.text.resize((size + 1) / 2);
    const auto got = file.readInto(page.text.data(), size);
    if (!got)
        return {PageFileState::Unreadable, PageFault::ReadError};
    std::uint8_t head[kPageHeaderBytes];
    const std::size_t headBytes = std::min(*got, kPageHeaderBytes);
    std::memcpy(head, page.text.data(), headBytes);
    const PageHeader header = decodePageHeader(head, headBytes, file.size());
    if (!header.usable()) {
        page.text.clear();
        return checkOf(header);
    }
    page.weather = header.weather;
    // A file that shrank meanwhile gives the units that are there.
    const std::size_t textBytes = std::min<std::size_t>(*got - headBytes, static_cast<std::size_t>(header.units) * 2);
    page.text.erase(0, kHeadUnits);
    page.text.resize(textBytes / 2);
    if (stamp)
        *stamp = {true, file.size(), file.mtimeNs(), file.inode(), pageHash(head, headBytes, page.text.data(), textBytes)};
    if constexpr (std::endian::native == std::endian::big)
        for (char16_t& c : page.text)
            c = static_cast<char16_t>(c >> 8 | c << 8);
    return {PageFileState::Readable, textBytes / 2 < header.units ? PageFault::Truncated : header.fault};
}

PageCheck probePageFile(const std::u16string& path)
{
    ReadableFile file(path, static_cast<std::uint64_t>(kPageFileLimit), ReadableFile::Links::Refuse);
    std::uint8_t head[kPageHeaderBytes];
    std::size_t headBytes = 0;
    return checkOf(readHeader(file, head, headBytes));
}

PageStamp statPageFile(const std::u16string& path)
{
    struct stat st {};
    if (::lstat(toUtf8(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return {};
    return {true, static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, static_cast<std::uint64_t>(st.st_ino), 0};
}

StoreResult storePageFile(const std::u16string& path, const Page& page, PageStamp* stamp)
{
    return storePageFileAs(path, page, probePageFile(path).state, nullptr, stamp);
}

StoreResult storePageFileAs(const std::u16string& path, const Page& page, PageFileState before,
                            const std::function<Bytes(const Bytes&)>& seal, PageStamp* stamp)
{
    if (page.text.empty()) {
        // An unreadable page was never shown, so an empty editor says nothing about it.
        if (before == PageFileState::Readable && !removeFile(path) && errno != ENOENT)
            return StoreResult::Failed;
        if (stamp)
            *stamp = statPageFile(path);
        return StoreResult::Removed;
    }
    if (page.text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        return StoreResult::Failed;

    const std::string target = toUtf8(path);
    const std::string aside = toUtf8(asidePath(path));
    if (before == PageFileState::Unreadable && !moveAside(target, aside))
        return StoreResult::Failed;
    const Bytes bytes = encodePage(page);
    // Two calls, not one over `seal ? seal(bytes) : bytes`, which would copy a plain page.
    const bool written = seal ? writeFileAtomic(path, seal(bytes)) : writeFileAtomic(path, bytes);
    if (written) {
        if (stamp) {
            *stamp = statPageFile(path);
            stamp->hash = pageHash(bytes.data(), kPageHeaderBytes, bytes.data() + kPageHeaderBytes, bytes.size() - kPageHeaderBytes);
        }
        return StoreResult::Written;
    }
    if (before == PageFileState::Unreadable)
        moveAside(aside, target); // put it back where it was found
    return StoreResult::Failed;
}

} // namespace pagelet
