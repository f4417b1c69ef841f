#include "import/CivilTime.h"

#include <chrono>

namespace pagelet {

namespace {

std::optional<int> digits(std::string_view text, std::size_t at, std::size_t count)
{
    if (at + count > text.size())
        return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

} // namespace

bool isImportableDate(const LocalDate& date)
{
    return hasFourDigitYear(date) && date.month >= 1 && date.month <= 12 && date.day >= 1
        && date.day <= daysInMonth(date.year, date.month);
}

std::int64_t civilSeconds(const LocalDate& date, int hour, int minute, int second)
{
    using namespace std::chrono;
    const sys_days day {year {date.year} / month {static_cast<unsigned>(date.month)} / date.day};
    return std::int64_t {day.time_since_epoch().count()} * 86400 + hour * 3600 + minute * 60 + second;
}

CivilTime fromCivilSeconds(std::int64_t seconds)
{
    using namespace std::chrono;
    std::int64_t days = seconds / 86400, rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const year_month_day ymd {sys_days {std::chrono::days {days}}};
    return {{static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
             static_cast<int>(static_cast<unsigned>(ymd.day()))},
            static_cast<int>(rest / 3600), static_cast<int>(rest % 3600 / 60)};
}

std::optional<LocalDate> parseIsoDate(std::string_view text)
{
    const auto y = digits(text, 0, 4), m = digits(text, 5, 2), d = digits(text, 8, 2);
    if (text.size() != 10 || !y || !m || !d || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const LocalDate date {*y, *m, *d};
    return isImportableDate(date) ? std::optional(date) : std::nullopt;
}

std::optional<std::pair<int, int>> parseClock(std::string_view text)
{
    const auto h = digits(text, 0, 2), m = digits(text, 3, 2);
    if (!h || !m || text[2] != ':' || *h > 23 || *m > 59)
        return std::nullopt;
    if (text.size() == 5)
        return std::pair {*h, *m};
    const auto s = digits(text, 6, 2);
    if (text.size() != 8 || text[5] != ':' || !s || *s > 60)
        return std::nullopt;
    return std::pair {*h, *m};
}

std::optional<std::int64_t> parseUtcStamp(std::string_view text)
{
    if (text.ends_with('Z'))
        text.remove_suffix(1);
    if (const auto dot = text.find('.'); dot != std::string_view::npos && dot > 10) {
        for (char c : text.substr(dot + 1))
            if (c < '0' || c > '9')
                return std::nullopt;
        text = text.substr(0, dot);
    }
    if (text.size() != 19 || text[10] != 'T')
        return std::nullopt;
    const auto date = parseIsoDate(text.substr(0, 10));
    const auto clock = parseClock(text.substr(11));
    const auto seconds = digits(text, 17, 2);
    if (!date || !clock || !seconds)
        return std::nullopt;
    return civilSeconds(*date, clock->first, clock->second, *seconds);
}

} // namespace pagelet
