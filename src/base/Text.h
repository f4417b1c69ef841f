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

// Case mapping for folder names; letters outside ASCII have no case that matters here.
std::u16string toLowerAscii(std::u16string_view text);
std::u16string toUpperAscii(std::u16string_view text);
bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b);

// "%.2d": at least two digits with a leading zero.
std::u16string twoDigits(int value);

} // namespace pagelet
