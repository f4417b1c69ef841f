#include "base/Text.h"

#include <cstdio>

namespace pagelet {

// Two passes, the length first: appending byte by byte cost more than the conversion itself.
std::string toUtf8(std::u16string_view text)
{
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        length += utf8Length(codeAt(text, i));
    std::string out(length, '\0');
    char* o = out.data();
    for (std::size_t i = 0; i < text.size(); ++i)
        o = putUtf8(codeAt(text, i), o);
    return out;
}

std::u16string fromUtf8(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::uint32_t c = 0xFFFD;
        std::size_t len = 1;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            len = 2;
            c = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3;
            c = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4;
            c = b & 0x07;
        } else {
            len = 0;
        }
        if (len == 0 || i + len > text.size()) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        bool ok = true;
        for (std::size_t k = 1; k < len; ++k) {
            const auto cb = static_cast<unsigned char>(text[i + k]);
            if ((cb & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (cb & 0x3F);
        }
        // A surrogate's bytes, a longer form than the code needs or a code past U+10FFFF are no
        // UTF-8 either: the lead byte alone is replaced, and what follows it is read on its own.
        static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!ok || c < kLeast[len] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        i += len;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::u16string fromAscii(std::string_view text)
{
    return std::u16string(text.begin(), text.end());
}

std::u16string toLowerAscii(std::u16string_view text)
{
    std::u16string out(text);
    for (auto& c : out)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    return out;
}

std::u16string toUpperAscii(std::u16string_view text)
{
    std::u16string out(text);
    for (auto& c : out)
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    return out;
}

bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() && toLowerAscii(a) == toLowerAscii(b);
}

std::u16string twoDigits(int value)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.2d", value);
    return fromAscii(buf);
}

} // namespace pagelet
