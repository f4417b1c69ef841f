#pragma once
#include "base/Day.h"

#include <string>

namespace pagelet {

// The eight digits that name a day's files: year, month and day of the day's local date.
std::u16string makeDateKey(DayValue day);
std::u16string makeDateKey(const LocalDate& date);

} // namespace pagelet
