#pragma once
#include "base/ByteIo.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pagelet {

// Every file the program reads is opened here. The open never blocks and only a regular file
// of at most maxBytes stays open: a FIFO, device or socket under a file's name is refused,
// never waited on.
class ReadableFile {
public:
    // Pages and memos are never read through a symbolic link: a link to any readable file
    // would show it as the diary's own.
    enum class Links { Follow, Refuse };
    enum class State {
        Missing, // nothing there, or a folder
        Refused, // something there that can't be opened, isn't a regular file or is too large,
                 // or a refused link
        Open,
    };

    ReadableFile(const std::u16string& path, std::uint64_t maxBytes, Links links = Links::Follow);
    // The path as the file system takes it: a store that opens thousands of pages in a row
    // builds it once as bytes.
    ReadableFile(const std::string& utf8Path, std::uint64_t maxBytes, Links links = Links::Follow);
    ~ReadableFile();
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    State state() const { return m_state; }
    std::uint64_t size() const { return m_size; }
    // When and which file was opened: another writer's rename gives a new one.
    std::int64_t mtimeNs() const { return m_mtimeNs; }
    std::uint64_t inode() const { return m_inode; }
    // The next count bytes, fewer at the end of the file; nothing when not open or on a read error.
    std::optional<Bytes> read(std::size_t count);
    // The next count bytes into dst, which has room for them; how many there were.
    std::optional<std::size_t> readInto(void* dst, std::size_t count);
    // The whole file, fewer bytes when it shrank meanwhile.
    std::optional<Bytes> readAll() { return read(static_cast<std::size_t>(m_size)); }
    // Hands the descriptor to the caller, who closes it; -1 when not open.
    int release();

private:
    int m_fd = -1;
    State m_state = State::Missing;
    std::uint64_t m_size = 0;
    std::int64_t m_mtimeNs = 0;
    std::uint64_t m_inode = 0;
};

} // namespace pagelet
