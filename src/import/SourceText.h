#pragma once
// A journal file's bytes as its readers take them.
#include <string>
#include <string_view>

namespace pagelet {

// Without the byte order mark some editors put first; no format means it as text.
std::string_view withoutByteOrderMark(std::string_view text);

// The bytes with each that is no UTF-8 (a lone surrogate's among them) as U+FFFD.
std::string wellFormedUtf8(std::string_view text);

} // namespace pagelet
