#pragma once
#include <cstddef>
#include <optional>
#include <string_view>

namespace pagelet {

// Fast loops over UTF-16 code units for searching whole folders of pages.

// The first position of needle in haystack; nothing for an empty needle.
std::optional<std::size_t> findUnits(std::u16string_view haystack, std::u16string_view needle);

// out[i] = table[in[i]]. With plainAscii, the table must lower A-Z by 32 and leave the rest of
// ASCII and the Hangul syllables as they are: those runs then fold without looking it up.
void foldUnits(std::u16string_view in, char16_t* out, const char16_t* table, bool plainAscii);

} // namespace pagelet
