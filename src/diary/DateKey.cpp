#include "diary/DateKey.h"

#include "base/FileIo.h"
#include "base/Text.h"

#include <cstdio>
#include <tuple>

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

namespace {
auto ordered(const LocalDate& d)
{
    return std::tie(d.year, d.month, d.day);
}
} // namespace

bool inDiaryRange(const LocalDate& date)
{
    return ordered(date) >= ordered(kFirstDiaryDate) && ordered(date) <= ordered(kLastDiaryDate);
}

LocalDate clampToDiaryRange(const LocalDate& date)
{
    if (ordered(date) < ordered(kFirstDiaryDate))
        return kFirstDiaryDate;
    return ordered(date) > ordered(kLastDiaryDate) ? kLastDiaryDate : date;
}

DayValue clampToDiaryRange(DayValue day)
{
    const LocalDate date = localDate(day);
    return inDiaryRange(date) ? day : fromLocal(clampToDiaryRange(date));
}

bool dayFileExists(const std::u16string& path)
{
    return isFile(path);
}

} // namespace pagelet
