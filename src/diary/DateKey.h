#pragma once
#include "base/Day.h"

#include <string>

namespace pagelet {

// The eight digits that name a day's files: year, month and day of the day's local date.
std::u16string makeDateKey(DayValue day);
std::u16string makeDateKey(const LocalDate& date);

// The days a diary reaches: four-digit years, so that every key has eight digits.
inline constexpr LocalDate kFirstDiaryDate {1000, 1, 1};
inline constexpr LocalDate kLastDiaryDate {9999, 12, 31};
bool inDiaryRange(const LocalDate& date);
LocalDate clampToDiaryRange(const LocalDate& date);
// The day itself when its date is in range, else midnight of the nearest end.
DayValue clampToDiaryRange(DayValue day);

// True when path names something that is not a folder: a folder named like a page is no page.
bool dayFileExists(const std::u16string& path);

} // namespace pagelet
