#include "diary/DiaryRange.h"

#include <tuple>

namespace pagelet {

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

} // namespace pagelet
