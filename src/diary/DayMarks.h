#pragma once
#include "base/Day.h"
#include "platform/MonthCalendar.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace pagelet {

// The month a calendar shows in full, found from its displayed range.
struct MainMonth {
    int index = 0;   // among the displayed months
    LocalDate first; // its 1st
};
MainMonth mainMonthOf(const DisplayedRange& range);

// One mask per displayed month; only the main month's has bits, one for each of the 31 days
// from its 1st on (calendar dates, whatever the clock does) that hasPage accepts (bits past the month's end are ignored by calendars).
std::vector<std::uint32_t> dayMarkMasks(const DisplayedRange& range, const std::function<bool(const LocalDate&)>& hasPage);

} // namespace pagelet
