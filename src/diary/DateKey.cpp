#include "diary/DateKey.h"

#include "base/FileIo.h"
#include "base/Text.h"

#include <cstdio>

namespace pagelet {

std::u16string makeDateKey(const LocalDate& date)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%4d%.2d%.2d", date.year, date.month, date.day);
    return fromAscii(buf);
}

std::u16string makeDateKey(DayValue day)
{
    return makeDateKey(localDate(day));
}

bool dayFileExists(const std::u16string& path)
{
    return isFile(path);
}

} // namespace pagelet
