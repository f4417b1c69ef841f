#include "base/Day.h"

#include "base/Text.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace pagelet {

LocalTime toLocal(DayValue day)
{
    const std::time_t t = static_cast<std::time_t>(day);
    std::tm tm {};
    localtime_r(&t, &tm);
    LocalTime lt;
    lt.date = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
    lt.hour = tm.tm_hour;
    lt.minute = tm.tm_min;
    lt.second = tm.tm_sec;
    lt.weekday = tm.tm_wday;
    return lt;
}

LocalDate localDate(DayValue day)
{
    return toLocal(day).date;
}

DayValue fromLocal(const LocalDate& date, int hour, int minute, int second)
{
    std::tm tm {};
    tm.tm_year = date.year - 1900;
    tm.tm_mon = date.month - 1;
    tm.tm_mday = date.day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return static_cast<DayValue>(std::mktime(&tm));
}

DayValue addDays(DayValue day, int days)
{
    const LocalTime lt = toLocal(day);
    LocalDate target = lt.date;
    target.day += days;
    return fromLocal(target, lt.hour, lt.minute, lt.second);
}

int daysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[(month + 11) % 12];
}

LocalDate nextDate(const LocalDate& date)
{
    if (date.day < daysInMonth(date.year, date.month))
        return {date.year, date.month, date.day + 1};
    if (date.month < 12)
        return {date.year, date.month + 1, 1};
    return {date.year + 1, 1, 1};
}

int weekdayOf(const LocalDate& date)
{
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    const int y = date.month < 3 ? date.year - 1 : date.year;
    return (y + y / 4 - y / 100 + y / 400 + offsets[date.month - 1] + date.day) % 7;
}

std::u16string isoDate(const LocalDate& date)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", date.year, date.month, date.day);
    return fromAscii(buf);
}

std::array<char, 8> dateDigits(const LocalDate& date)
{
    std::array<char, 8> out;
    const int parts[3] = {date.year % 10000, date.month % 100, date.day % 100};
    if (parts[0] < 0 || parts[1] < 0 || parts[2] < 0) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d%02d%02d", parts[0], parts[1], parts[2]);
        std::memcpy(out.data(), buf, out.size());
        return out;
    }
    // The common case without a formatter: a month's day marks make 31 of these.
    out.fill('0');
    std::size_t end = 4;
    for (int i = 0; i < 3; end += 2, ++i)
        for (int v = parts[i], at = static_cast<int>(end) - 1; v > 0; v /= 10, --at)
            out[static_cast<std::size_t>(at)] = static_cast<char>('0' + v % 10);
    return out;
}

} // namespace pagelet
