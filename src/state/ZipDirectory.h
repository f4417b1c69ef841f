#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pagelet {

// One entry of a zip's central directory, the list unzip tools go by, with what its local
// header says where the two must agree.
struct ZipDirectoryEntry {
    std::string name;
    std::uint32_t crc = 0;
    std::uint64_t packedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t localOffset = 0;
    std::uint16_t method = 0;
    // The local header's own CRC and sizes are zero; the data descriptor after the data has them.
    bool describedAfter = false;
};

struct ZipDirectory {
    std::vector<ZipDirectoryEntry> entries;
    std::string damage;      // empty when every entry was read and matches its local header
    std::string damagedName; // the entry the damage is in, when known
};

// The central directory of the zip open on fd (size bytes long), read with a bounded number of
// bytes: the end record, each entry, and each entry's local header compared with it (name,
// method, flags, times, and CRC and sizes when the header holds them). A directory larger than
// maxBytes is refused as damage.
ZipDirectory readZipDirectory(int fd, std::uint64_t size, std::uint64_t maxBytes);

} // namespace pagelet
