#include "store/DayKey.h"

#include "base/Text.h"

#include <cstdio>

namespace pagelet {

std::u16string makeDateKey(const LocalDate& date)
{
    // The common case without a formatter: a month's day marks make 31 keys.
    if (date.year >= 1000 && date.year <= 9999 && date.month >= 0 && date.month <= 99 && date.day >= 0 && date.day <= 99) {
        std::u16string key(8, u'0');
        const int parts[3] = {date.year, date.month, date.day};
        std::size_t end = 4;
        for (int i = 0; i < 3; end += 2, ++i)
            for (int v = parts[i], at = static_cast<int>(end) - 1; v > 0; v /= 10, --at)
                key[static_cast<std::size_t>(at)] = static_cast<char16_t>(u'0' + v % 10);
        return key;
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
