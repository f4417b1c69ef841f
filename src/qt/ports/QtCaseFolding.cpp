#include "qt/ports/QtCaseFolding.h"

#include <QChar>
#include <cstdint>

namespace pagelet {

namespace {

constexpr std::size_t kBlock = 32;

// Units whose lower case needs no look-up: ASCII, where only A to Z change, and the Hangul
// syllables, which have no case. A diary is mostly these, and a month search folds every page.
bool plain(char16_t c)
{
    return c < 0x80 || static_cast<char16_t>(c - 0xAC00) <= 0xD7A3 - 0xAC00;
}

// Whole blocks only, without early exits, so the compiler does them in vector steps.
bool plainBlock(const char16_t* p)
{
    std::uint16_t other = 0; // 16-bit lanes throughout: nothing is widened on the way
    for (std::size_t k = 0; k < kBlock; ++k)
        other |= static_cast<std::uint16_t>(!plain(p[k]));
    return other == 0;
}

void lowerAsciiBlock(char16_t* p)
{
    for (std::size_t k = 0; k < kBlock; ++k)
        p[k] = static_cast<char16_t>(p[k] + (static_cast<char16_t>(p[k] - u'A') < 26 ? 32 : 0));
}

void lowerEach(char16_t* p, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k)
        p[k] = QChar(p[k]).toLower().unicode();
}

} // namespace

std::u16string QtCaseFolding::toLower(std::u16string text) const
{
    char16_t* p = text.data();
    const std::size_t n = text.size();
    std::size_t i = 0;
    for (; i + kBlock <= n; i += kBlock) {
        if (plainBlock(p + i))
            lowerAsciiBlock(p + i);
        else
            lowerEach(p + i, kBlock);
    }
    lowerEach(p + i, n - i);
    return text;
}

} // namespace pagelet
