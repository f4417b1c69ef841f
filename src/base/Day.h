#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace pagelet {

// A point in time in whole seconds since 1970-01-01 00:00:00 UTC, read in local time.
using DayValue = std::int64_t;

struct LocalDate {
    int year = 1970;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    friend bool operator==(const LocalDate&, const LocalDate&) = default;
};

struct LocalTime {
    LocalDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 4; // 0 Sunday .. 6 Saturday
};

LocalTime toLocal(DayValue day);
LocalDate localDate(DayValue day);
// Midnight (or the given time) of a local date; days past the month's end roll over.
DayValue fromLocal(const LocalDate& date, int hour = 0, int minute = 0, int second = 0);
// Moves by whole calendar dates in local time, keeping the time of day, so a daylight-saving
// change never skips or repeats a date.
DayValue addDays(DayValue day, int days);
// 28 to 31, by the Gregorian calendar; month is 1..12.
int daysInMonth(int year, int month);
// The calendar date after date, with no clock or time zone involved.
LocalDate nextDate(const LocalDate& date);
// 0 Sunday .. 6 Saturday, from the date alone, whatever the time zone.
int weekdayOf(const LocalDate& date);
// "2026-12-07".
std::u16string isoDate(const LocalDate& date);
// A day's files are named by eight digits, so a diary reaches the years 1000 to 9999 only.
inline constexpr int kFirstFourDigitYear = 1000;
inline constexpr int kLastFourDigitYear = 9999;
constexpr bool hasFourDigitYear(const LocalDate& date)
{
    return date.year >= kFirstFourDigitYear && date.year <= kLastFourDigitYear;
}
// Year, month and day as the eight ASCII digits of the day's file names. A part too wide is
// taken modulo 10000 or 100.
std::array<char, 8> dateDigits(const LocalDate& date);

} // namespace pagelet
