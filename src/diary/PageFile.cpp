#include "diary/PageFile.h"

#include "base/FileIo.h"
#include "base/ReadableFile.h"
#include "base/Text.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace pagelet {

namespace {

constexpr std::size_t kHeaderBytes = 8;

// No length while text follows: taken as empty, the page would be deleted on leaving.
bool lengthFits(std::int32_t length, std::uint64_t textBytes)
{
    return length >= 1 || textBytes == 0;
}

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

// Sized once and copied whole: a change of day encodes a 100 KB page.
Bytes encodePage(const Page& page)
{
    ByteWriter w(kHeaderBytes + page.text.size() * 2);
    w.putInt32(page.weather);
    w.putInt32(static_cast<std::int32_t>(page.text.size()));
    w.putUnits(page.text);
    return w.release();
}

std::optional<Page> decodePage(const Bytes& bytes)
{
    ByteReader r(bytes);
    Page page;
    std::int32_t length = 0;
    if (!r.getInt32(page.weather) || !r.getInt32(length) || !lengthFits(length, r.remaining()))
        return std::nullopt;
    if (page.weather < 0 || page.weather > 4)
        page.weather = 0;
    r.getUnits(length, page.text);
    return page;
}

// As decodePage, but the text is read straight into the page: a month's search reads 31
// pages, and a second 100 KB buffer for each costs more than reading it.
LoadedPage readPageFile(const std::u16string& path)
{
    LoadedPage loaded;
    loaded.state = readPageInto(path, loaded.page);
    if (loaded.state != PageFileState::Readable)
        loaded.page = Page {};
    return loaded;
}

PageFileState readPageInto(const std::u16string& path, Page& page)
{
    ReadableFile file(path, static_cast<std::uint64_t>(kPageFileLimit));
    if (file.state() == ReadableFile::State::Missing)
        return PageFileState::Missing;
    std::uint8_t head[kHeaderBytes];
    const auto headRead = file.readInto(head, kHeaderBytes);
    if (!headRead || *headRead < kHeaderBytes)
        return PageFileState::Unreadable;
    ByteReader r(head);
    std::int32_t length = 0;
    r.getInt32(page.weather);
    r.getInt32(length);
    const std::uint64_t textBytes = file.size() > kHeaderBytes ? file.size() - kHeaderBytes : 0;
    if (!lengthFits(length, textBytes))
        return PageFileState::Unreadable;
    if (page.weather < 0 || page.weather > 4)
        page.weather = 0;
    const std::uint64_t units = length < 1 ? 0 : std::min<std::uint64_t>(static_cast<std::uint64_t>(length), textBytes / 2);
    page.text.resize(static_cast<std::size_t>(units));
    const auto got = file.readInto(page.text.data(), page.text.size() * 2);
    if (!got)
        return PageFileState::Unreadable;
    page.text.resize(*got / 2); // a file that shrank meanwhile gives the units that are there
    if constexpr (std::endian::native == std::endian::big)
        for (char16_t& c : page.text)
            c = static_cast<char16_t>(c >> 8 | c << 8);
    return PageFileState::Readable;
}

PageFileState probePageFile(const std::u16string& path)
{
    ReadableFile file(path, static_cast<std::uint64_t>(kPageFileLimit));
    if (file.state() == ReadableFile::State::Missing)
        return PageFileState::Missing;
    const auto head = file.read(kHeaderBytes);
    if (!head || head->size() < kHeaderBytes)
        return PageFileState::Unreadable;
    std::int32_t length = 0;
    ByteReader r(*head);
    r.skip(4);
    r.getInt32(length);
    return lengthFits(length, file.size() > kHeaderBytes ? file.size() - kHeaderBytes : 0) ? PageFileState::Readable : PageFileState::Unreadable;
}

StoreResult storePageFile(const std::u16string& path, const Page& page)
{
    const PageFileState before = probePageFile(path);
    if (page.text.empty()) {
        // An unreadable page was never shown, so an empty editor says nothing about it.
        if (before == PageFileState::Readable && !removeFile(path) && errno != ENOENT)
            return StoreResult::Failed;
        return StoreResult::Removed;
    }
    if (page.text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        return StoreResult::Failed;

    const std::string target = toUtf8(path);
    const std::string aside = toUtf8(asidePath(path));
    if (before == PageFileState::Unreadable && !moveAside(target, aside))
        return StoreResult::Failed;
    if (writeFileAtomic(path, encodePage(page)))
        return StoreResult::Written;
    if (before == PageFileState::Unreadable)
        moveAside(aside, target); // put it back where it was found
    return StoreResult::Failed;
}

} // namespace pagelet
