#pragma once
#include <cstddef>
#include <string_view>

namespace pagelet {

// Where word first occurs in text at or after from; -1 when it does not. An empty word occurs
// everywhere. Month searches run it over whole pages, so it skims 32 units at a time for the
// word's first and last units before comparing.
int findWord(std::u16string_view text, std::u16string_view word, std::size_t from = 0);

} // namespace pagelet
