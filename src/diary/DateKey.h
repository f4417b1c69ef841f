#pragma once
#include "base/Day.h"

namespace pagelet {

// The days a diary reaches: four-digit years, so that every key has eight digits.
inline constexpr LocalDate kFirstDiaryDate {1000, 1, 1};
inline constexpr LocalDate kLastDiaryDate {9999, 12, 31};
bool inDiaryRange(const LocalDate& date);
LocalDate clampToDiaryRange(const LocalDate& date);
// The day itself when its date is in range, else midnight of the nearest end.
DayValue clampToDiaryRange(DayValue day);

} // namespace pagelet
