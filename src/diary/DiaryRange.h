#pragma once
#include "base/Day.h"

namespace pagelet {

// The days a diary reaches.
inline constexpr LocalDate kFirstDiaryDate {kFirstFourDigitYear, 1, 1};
inline constexpr LocalDate kLastDiaryDate {kLastFourDigitYear, 12, 31};
bool inDiaryRange(const LocalDate& date);
LocalDate clampToDiaryRange(const LocalDate& date);
// The day itself when its date is in range, else midnight of the nearest end.
DayValue clampToDiaryRange(DayValue day);

} // namespace pagelet
