#include "store/PageStamp.h"

#include <cstring>

namespace pagelet {

namespace {

constexpr std::uint64_t kMul1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kMul2 = 0xC2B2AE3D27D4EB4Full;

std::uint64_t rotl(std::uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }

std::uint64_t round(std::uint64_t lane, std::uint64_t word) { return rotl(lane + word * kMul2, 31) * kMul1; }

std::uint64_t word(const unsigned char* p)
{
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}

} // namespace

std::uint64_t hashBytes(const void* bytes, std::size_t count, std::uint64_t seed)
{
    // Four independent lanes of eight bytes: a byte at a time made loading a 100 KB page
    // several times slower than reading it.
    const auto* p = static_cast<const unsigned char*>(bytes);
    std::uint64_t a = seed + kMul1 + kMul2, b = seed + kMul2, c = seed, d = seed - kMul1;
    std::size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        a = round(a, word(p + i));
        b = round(b, word(p + i + 8));
        c = round(c, word(p + i + 16));
        d = round(d, word(p + i + 24));
    }
    std::uint64_t hash = rotl(a, 1) + rotl(b, 7) + rotl(c, 12) + rotl(d, 18) + count;
    for (; i + 8 <= count; i += 8)
        hash = rotl(hash ^ round(0, word(p + i)), 27) * kMul1 + kMul2;
    for (; i < count; ++i)
        hash = rotl(hash ^ (p[i] * kMul1), 11) * kMul2;
    hash ^= hash >> 33;
    hash *= kMul2;
    return hash ^ (hash >> 29);
}

std::uint64_t pageHash(const void* head, std::size_t headBytes, const void* text, std::size_t textBytes)
{
    return hashBytes(text, textBytes, hashBytes(head, headBytes));
}

} // namespace pagelet
