#include "diary/PageFile.h"

#include "base/FileIo.h"
#include "base/Text.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace pagelet {

namespace {

constexpr std::int64_t kHeaderBytes = 8;

// Opens a page file for reading; -1 when it is no regular file of a page's possible size.
// Never blocks: a FIFO or device under a page's name is simply unreadable.
int openPage(const std::string& path, PageFileState& state, std::int64_t& size)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        state = PageFileState::Missing;
        return -1;
    }
    state = PageFileState::Unreadable;
    if (!S_ISREG(st.st_mode))
        return -1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < kHeaderBytes || st.st_size > kPageFileLimit) {
        ::close(fd);
        return -1;
    }
    size = st.st_size;
    state = PageFileState::Readable;
    return fd;
}

bool readAll(int fd, Bytes& bytes)
{
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return true;
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

Bytes encodePage(const Page& page)
{
    ByteWriter w;
    w.putInt32(page.weather);
    w.putInt32(static_cast<std::int32_t>(page.text.size()));
    w.putUnits(page.text);
    return w.bytes();
}

std::optional<Page> decodePage(const Bytes& bytes)
{
    ByteReader r(bytes);
    Page page;
    std::int32_t length = 0;
    if (!r.getInt32(page.weather) || !r.getInt32(length))
        return std::nullopt;
    if (page.weather < 0 || page.weather > 4)
        page.weather = 0;
    const auto present = static_cast<std::int64_t>(r.remaining() / 2);
    const std::int64_t units = std::clamp<std::int64_t>(length, 0, present);
    if constexpr (std::endian::native == std::endian::little) {
        // The file's layout is the string's: one copy instead of a loop over 100 KB pages.
        page.text.resize(static_cast<std::size_t>(units));
        std::memcpy(page.text.data(), bytes.data() + kHeaderBytes, static_cast<std::size_t>(units) * 2);
    } else {
        r.getUnits(units, page.text);
    }
    return page;
}

PageFileState probePageFile(const std::u16string& path)
{
    PageFileState state = PageFileState::Missing;
    std::int64_t size = 0;
    const int fd = openPage(toUtf8(path), state, size);
    if (fd >= 0)
        ::close(fd);
    return state;
}

LoadedPage readPageFile(const std::u16string& path)
{
    LoadedPage loaded;
    std::int64_t size = 0;
    const int fd = openPage(toUtf8(path), loaded.state, size);
    if (fd < 0)
        return loaded;
    Bytes bytes(static_cast<std::size_t>(size));
    const bool read = readAll(fd, bytes);
    ::close(fd);
    auto page = read ? decodePage(bytes) : std::nullopt;
    if (!page) {
        loaded.state = PageFileState::Unreadable;
        return loaded;
    }
    loaded.page = std::move(*page);
    return loaded;
}

StoreResult storePageFile(const std::u16string& path, const Page& page)
{
    const PageFileState before = probePageFile(path);
    if (page.text.empty()) {
        // An unreadable page was never shown, so an empty editor says nothing about it.
        if (before == PageFileState::Readable)
            removeFile(path);
        return StoreResult::Removed;
    }
    if (page.text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        return StoreResult::Failed;

    const std::string target = toUtf8(path);
    const std::string aside = target + ".bad";
    if (before == PageFileState::Unreadable && !moveAside(target, aside))
        return StoreResult::Failed;
    if (writeFileAtomic(path, encodePage(page)))
        return StoreResult::Written;
    if (before == PageFileState::Unreadable)
        moveAside(aside, target); // put it back where it was found
    return StoreResult::Failed;
}

} // namespace pagelet
