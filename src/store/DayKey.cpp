#include "store/DayKey.h"

#include "base/Text.h"

#include <cstdio>

namespace pagelet {

std::u16string makeDateKey(const LocalDate& date)
{
    if (hasFourDigitYear(date) && date.month >= 0 && date.month <= 99 && date.day >= 0 && date.day <= 99) {
        const auto digits = dateDigits(date);
        return std::u16string(digits.begin(), digits.end());
    }
    char buf[48];
    std::snprintf(buf, sizeof buf, "%4d%.2d%.2d", date.year, date.month, date.day);
    return fromAscii(buf);
}

std::u16string makeDateKey(DayValue day)
{
    return makeDateKey(localDate(day));
}

} // namespace pagelet
