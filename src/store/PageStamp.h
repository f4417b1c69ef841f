#pragma once
#include <cstddef>
#include <cstdint>

namespace pagelet {

// What a page file was when this program last read or wrote it: enough to tell another
// writer's change (a sync tool, a second machine) from our own, with one stat and a hash of
// bytes already read.
struct PageStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;
    std::uint64_t inode = 0;
    std::uint64_t hash = 0; // of the file's bytes; 0 when only the stat was taken

    // Same file as far as the stat tells: then it was not written since.
    bool sameFile(const PageStamp& other) const
    {
        return exists == other.exists && size == other.size && mtimeNs == other.mtimeNs && inode == other.inode;
    }
};

// A hash of bytes, from seed. Not for anything stored: it may change between versions.
std::uint64_t hashBytes(const void* bytes, std::size_t count, std::uint64_t seed = 0);
// A page file's hash from its pieces as they are read: the two numbers, then the text.
std::uint64_t pageHash(const void* head, std::size_t headBytes, const void* text, std::size_t textBytes);

} // namespace pagelet
