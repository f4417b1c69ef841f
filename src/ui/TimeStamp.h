#pragma once
#include <cstdint>

namespace pagelet {

class Clock;
class DiaryEdit;

// Types the clock's time into the page at the caret, in the chosen format.
void insertTimeStamp(DiaryEdit& editor, Clock& clock, std::int32_t timeFormat);

} // namespace pagelet
