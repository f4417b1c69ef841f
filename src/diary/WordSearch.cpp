#include "diary/WordSearch.h"

#include <algorithm>
#include <cstdint>

namespace pagelet {

int findWord(std::u16string_view text, std::u16string_view word, std::size_t from)
{
    const std::size_t n = word.size();
    if (from > text.size() || text.size() - from < n)
        return -1;
    if (n == 0)
        return static_cast<int>(from);
    const char16_t first = word.front(), last = word.back();
    const char16_t* t = text.data();
    const std::size_t starts = text.size() - n + 1;
    constexpr std::size_t kBlock = 32;
    std::size_t i = from;
    while (i < starts) {
        const std::size_t stop = std::min(starts, i + kBlock);
        if (stop - i == kBlock) {
            // No early exit, so the compiler can do the block in a few vector compares.
            // 16-bit lanes throughout: nothing is widened on the way.
            std::uint16_t hits = 0;
            for (std::size_t k = 0; k < kBlock; ++k) {
                const auto miss = static_cast<std::uint16_t>((t[i + k] ^ first) | (t[i + k + n - 1] ^ last));
                hits |= static_cast<std::uint16_t>(miss == 0);
            }
            if (hits == 0) {
                i = stop;
                continue;
            }
        }
        for (; i < stop; ++i)
            if (t[i] == first && t[i + n - 1] == last && text.substr(i, n) == word)
                return static_cast<int>(i);
    }
    return -1;
}

} // namespace pagelet
