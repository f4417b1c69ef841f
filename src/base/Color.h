#pragma once
#include <cstdint>

namespace pagelet {

// 0x00BBGGRR, red in the low byte, as the skin files and settings describe colours.
using Color = std::uint32_t;

// Each component keeps its low 8 bits, so 256 gives 0 and -1 gives 255.
constexpr Color rgb(std::int32_t r, std::int32_t g, std::int32_t b)
{
    return (static_cast<std::uint32_t>(r) & 0xFFu) | ((static_cast<std::uint32_t>(g) & 0xFFu) << 8) |
           ((static_cast<std::uint32_t>(b) & 0xFFu) << 16);
}
constexpr int redOf(Color c) { return static_cast<int>(c & 0xFFu); }
constexpr int greenOf(Color c) { return static_cast<int>((c >> 8) & 0xFFu); }
constexpr int blueOf(Color c) { return static_cast<int>((c >> 16) & 0xFFu); }

} // namespace pagelet
