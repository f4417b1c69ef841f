#include "diary/PageFolder.h"

#include "base/Text.h"
#include "text/Catalogue.h"

#include <cstdio>

namespace pagelet {

int weekdayOf(const LocalDate& date)
{
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    const int y = date.month < 3 ? date.year - 1 : date.year;
    return (y + y / 4 - y / 100 + y / 400 + offsets[date.month - 1] + date.day) % 7;
}

std::u16string weekdayName(const LocalDate& date)
{
    return textOf(TextId::Sunday, weekdayOf(date));
}

std::u16string isoDate(const LocalDate& date)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", date.year, date.month, date.day);
    return fromAscii(buf);
}

} // namespace pagelet
