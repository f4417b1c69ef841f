#pragma once
// Small shared pieces every folder may use: UTF-16 text helpers, geometry and colours, day
// values, little-endian bytes and file reads and writes. Nothing here knows the diary.
#include <string>
#include <string_view>

namespace pagelet {

// The core holds all text as UTF-16; UTF-8 appears only at the file-system boundary.
std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);
std::u16string fromAscii(std::string_view text);

// The code point at text[i], with i moved onto a pair's second half; a lone surrogate, which
// UTF-8 can't carry, reads as U+FFFD.
inline char32_t codeAt(std::u16string_view text, std::size_t& i)
{
    const char32_t c = text[i];
    if (c < 0xD800 || c > 0xDFFF)
        return c;
    if (c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
        return 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    return 0xFFFD;
}

inline std::size_t utf8Length(char32_t c)
{
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

// c as UTF-8 at out (room for four bytes); the end of what was written.
inline char* putUtf8(char32_t c, char* out)
{
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (c >> 18));
        *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// Case mapping for folder names; letters outside ASCII have no case that matters here.
std::u16string toLowerAscii(std::u16string_view text);
std::u16string toUpperAscii(std::u16string_view text);
bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b);

// "%.2d": at least two digits with a leading zero.
std::u16string twoDigits(int value);

} // namespace pagelet
