#include "state/Crc32.h"

#include <array>

namespace pagelet {

namespace {

constexpr std::array<std::uint32_t, 256> kTable = [] {
    std::array<std::uint32_t, 256> table {};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}();

} // namespace

void Crc32::add(const void* data, std::size_t size)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    std::uint32_t crc = m_crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = kTable[(crc ^ p[i]) & 0xff] ^ (crc >> 8);
    m_crc = crc;
}

} // namespace pagelet
