#pragma once
// Dates and times of day as sources write them, without any time zone.
#include "base/Day.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace pagelet {

struct CivilTime {
    LocalDate date;
    int hour = 0;
    int minute = 0;
};

// A page's name holds four digits of year: dates outside 1000..9999 have no page.
bool isImportableDate(const LocalDate& date);
// Seconds since 1970-01-01 00:00 of the same calendar, and back.
std::int64_t civilSeconds(const LocalDate& date, int hour, int minute, int second = 0);
CivilTime fromCivilSeconds(std::int64_t seconds);

// "YYYY-MM-DD" (exactly), a real date within the importable years.
std::optional<LocalDate> parseIsoDate(std::string_view text);
// "HH:MM" or "HH:MM:SS"; the seconds are dropped.
std::optional<std::pair<int, int>> parseClock(std::string_view text);
// "YYYY-MM-DDTHH:MM:SS" with an optional fraction and "Z" or nothing: seconds since 1970 UTC.
std::optional<std::int64_t> parseUtcStamp(std::string_view text);

} // namespace pagelet
