#pragma once
#include "base/Day.h"

#include <string>

namespace pagelet {

// 0 Sunday .. 6 Saturday, from the date alone, whatever the time zone.
int weekdayOf(const LocalDate& date);
// The weekday's short name, from the catalogue.
std::u16string weekdayName(const LocalDate& date);
// "2026-12-07".
std::u16string isoDate(const LocalDate& date);

} // namespace pagelet
