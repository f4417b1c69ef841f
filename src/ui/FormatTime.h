#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace pagelet {

// The time stamp styles, the index of the settings list's entries. Any other value writes as
// Korean12WithSeconds.
enum TimeStyle : std::int32_t {
    Korean12 = 0,
    English12 = 1,
    Clock24 = 2,
    Korean12WithSeconds = 3,
    English12WithSeconds = 4,
    Clock24WithSeconds = 5,
};

inline constexpr std::u16string_view kStampTail = u" ";
inline constexpr std::u16string_view kSampleTail = u"  ";

// The text of a time of day in a style, ended by tail.
std::u16string formatTime(std::int32_t style, int hour, int minute, int second, std::u16string_view tail);

} // namespace pagelet
