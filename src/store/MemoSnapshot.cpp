#include "store/MemoSnapshot.h"

#include "base/FileIo.h"

#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace pagelet {

MemoSnapshot::MemoSnapshot(const PageStamp& stamp, Bytes bytes) : m_stamp(stamp), m_bytes(std::move(bytes)) {}

MemoSnapshot::MemoSnapshot(const PageStamp& stamp, int fd) : m_stamp(stamp), m_fd(fd) {}

MemoSnapshot::~MemoSnapshot()
{
    close();
}

MemoSnapshot::MemoSnapshot(MemoSnapshot&& other) noexcept
    : m_stamp(other.m_stamp), m_bytes(std::move(other.m_bytes)), m_fd(std::exchange(other.m_fd, -1))
{
    other.m_stamp = {};
    other.m_bytes.reset();
}

MemoSnapshot& MemoSnapshot::operator=(MemoSnapshot&& other) noexcept
{
    if (this != &other) {
        close();
        m_stamp = std::exchange(other.m_stamp, {});
        m_bytes = std::exchange(other.m_bytes, std::nullopt);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

void MemoSnapshot::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

std::optional<Bytes> MemoSnapshot::bytes() const
{
    if (m_bytes || m_fd < 0)
        return m_bytes;
    struct stat st {};
    const auto mtime = [&st] { return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec; };
    if (::fstat(m_fd, &st) != 0 || static_cast<std::uint64_t>(st.st_size) != m_stamp.size || mtime() != m_stamp.mtimeNs)
        return std::nullopt;
    return readWholeAt(m_fd, m_stamp.size);
}

} // namespace pagelet
