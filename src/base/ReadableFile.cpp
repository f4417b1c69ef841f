#include "base/ReadableFile.h"

#include "base/Text.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pagelet {

ReadableFile::ReadableFile(const std::u16string& path, std::uint64_t maxBytes, Links links)
    : ReadableFile(toUtf8(path), maxBytes, links)
{
}

ReadableFile::ReadableFile(const std::string& utf8Path, std::uint64_t maxBytes, Links links)
{
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer. The kind of
    // file is checked on the open descriptor, so nothing can be swapped in between.
    const int nofollow = links == Links::Refuse ? O_NOFOLLOW : 0;
    const int fd = ::open(utf8Path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | nofollow);
    if (fd < 0) {
        m_state = errno == ENOENT || errno == ENOTDIR ? State::Missing : State::Refused;
        return;
    }
    struct stat st {};
    const bool known = ::fstat(fd, &st) == 0;
    if (!known || !S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        m_state = known && S_ISDIR(st.st_mode) ? State::Missing : State::Refused;
        ::close(fd);
        return;
    }
    // Reads of a regular file don't block, so O_NONBLOCK stays until the descriptor is handed
    // on: a search opens thousands of pages, and a call each to clear it was a tenth of its
    // system time.
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(st.st_size);
    m_mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    m_inode = static_cast<std::uint64_t>(st.st_ino);
    m_state = State::Open;
}

ReadableFile::~ReadableFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::optional<Bytes> ReadableFile::read(std::size_t count)
{
    if (m_fd < 0)
        return std::nullopt;
    Bytes bytes(count);
    const auto got = readInto(bytes.data(), count);
    if (!got)
        return std::nullopt;
    bytes.resize(*got);
    return bytes;
}

std::optional<std::size_t> ReadableFile::readInto(void* dst, std::size_t count)
{
    if (m_fd < 0)
        return std::nullopt;
    auto* out = static_cast<std::uint8_t*>(dst);
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = ::read(m_fd, out + got, count - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break; // the end, maybe sooner than fstat said: keep what is there
        got += static_cast<std::size_t>(n);
    }
    return got;
}

int ReadableFile::release()
{
    const int fd = m_fd;
    m_fd = -1;
    // Whoever takes it gets a blocking descriptor. O_NONBLOCK is the only status flag we set,
    // so one call clears it.
    if (fd >= 0 && ::fcntl(fd, F_SETFL, 0) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace pagelet
