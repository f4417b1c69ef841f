#include "base/UnitScan.h"

#include <cstdint>
#include <cstring>

namespace pagelet {

namespace {

// Eight units at a time through the compiler's vector types, which every target builds.
using Units = std::uint16_t __attribute__((vector_size(16)));
using Mask = std::int16_t __attribute__((vector_size(16)));
constexpr std::size_t kLanes = 8;

Units load(const char16_t* at)
{
    Units v;
    std::memcpy(&v, at, sizeof v);
    return v;
}

bool any(Mask m)
{
    std::uint64_t halves[2];
    std::memcpy(halves, &m, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

} // namespace

std::optional<std::size_t> findUnits(std::u16string_view haystack, std::u16string_view needle)
{
    if (needle.empty() || needle.size() > haystack.size())
        return std::nullopt;
    const std::size_t last = haystack.size() - needle.size(); // last possible start
    const char16_t first = needle[0];
    const std::size_t restBytes = (needle.size() - 1) * 2;
    auto matchesAt = [&](std::size_t i) {
        return std::memcmp(haystack.data() + i + 1, needle.data() + 1, restBytes) == 0;
    };
    std::size_t i = 0;
    const Units wanted = Units {} + static_cast<std::uint16_t>(first);
    for (; i + kLanes <= last + 1; i += kLanes) {
        const Mask hit = load(haystack.data() + i) == wanted;
        if (!any(hit))
            continue;
        for (std::size_t k = 0; k < kLanes; ++k)
            if (hit[k] && matchesAt(i + k))
                return i + k;
    }
    for (; i <= last; ++i)
        if (haystack[i] == first && matchesAt(i))
            return i;
    return std::nullopt;
}

void foldUnits(std::u16string_view in, char16_t* out, const char16_t* table, bool plainAscii)
{
    std::size_t i = 0;
    if (plainAscii) {
        const Units a = Units {} + u'A', letters = Units {} + 26, ascii = Units {} + 0x80;
        const Units syllables = Units {} + 0xAC00, syllableCount = Units {} + (0xD7A3 - 0xAC00 + 1);
        for (; i + kLanes <= in.size(); i += kLanes) {
            const Units c = load(in.data() + i);
            const Mask plain = (c < ascii) | ((c - syllables) < syllableCount);
            if (any(~plain)) {
                for (std::size_t k = 0; k < kLanes; ++k)
                    out[i + k] = table[in[i + k]];
                continue;
            }
            const Units folded = c + (reinterpret_cast<Units>((c - a) < letters) & 32);
            std::memcpy(out + i, &folded, sizeof folded);
        }
    }
    for (; i < in.size(); ++i)
        out[i] = table[in[i]];
}

} // namespace pagelet
