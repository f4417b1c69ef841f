#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace pagelet {

// SHA-256, for a backup's manifest: fed in pieces, the digest as 64 lower-case hex digits.
class Sha256 {
public:
    Sha256();
    void add(const void* data, std::size_t size);
    std::string hex();

    static std::string of(const void* data, std::size_t size);

private:
    void block(const std::uint8_t* p);

    std::array<std::uint32_t, 8> m_h;
    std::array<std::uint8_t, 64> m_buffer {};
    std::size_t m_used = 0;
    std::uint64_t m_bytes = 0;
};

} // namespace pagelet
