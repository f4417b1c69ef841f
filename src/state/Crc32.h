#pragma once
#include <cstddef>
#include <cstdint>

namespace pagelet {

// The zip format's CRC-32, fed in pieces: a member's bytes as they are unpacked.
class Crc32 {
public:
    void add(const void* data, std::size_t size);
    std::uint32_t value() const { return ~m_crc; }

private:
    std::uint32_t m_crc = 0xffffffffu;
};

} // namespace pagelet
