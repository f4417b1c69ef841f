#include "base/Day.h"
#include "diary/DiaryRange.h"
#include "store/DayKey.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace pagelet {
namespace {

TEST(NextDate, StepsOverMonthAndYearEnds)
{
    const struct {
        LocalDate from, to;
    } cases[] = {
        {{2001, 6, 7}, {2001, 6, 8}},    {{2001, 6, 30}, {2001, 7, 1}},   {{2001, 1, 31}, {2001, 2, 1}},
        {{2001, 2, 28}, {2001, 3, 1}},   {{2004, 2, 28}, {2004, 2, 29}},  {{2004, 2, 29}, {2004, 3, 1}},
        {{1900, 2, 28}, {1900, 3, 1}},   {{2000, 2, 28}, {2000, 2, 29}},  {{2001, 12, 31}, {2002, 1, 1}},
        {{9999, 12, 31}, {10000, 1, 1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nextDate(c.from), c.to) << c.from.year << "-" << c.from.month << "-" << c.from.day;
}

// The step must name the same dates the local clock does, in a zone whose changes fall at midnight.
TEST(NextDate, AgreesWithTheLocalClockAcrossDaylightSaving)
{
    const std::string old = std::getenv("TZ") ? std::getenv("TZ") : "";
    for (const char* zone : {"Asia/Seoul", "America/Sao_Paulo", "Asia/Beirut"}) {
        ::setenv("TZ", zone, 1);
        ::tzset();
        LocalDate date {1985, 1, 1};
        for (int i = 0; i < 366 * 20; ++i) {
            const LocalDate next = nextDate(date);
            ASSERT_EQ(next, localDate(addDays(fromLocal(date, 12), 1))) << zone << " " << i;
            date = next;
        }
    }
    old.empty() ? ::unsetenv("TZ") : ::setenv("TZ", old.c_str(), 1);
    ::tzset();
}

TEST(DateKey, EightDigitsAndTheFormattedFormOutsideThem)
{
    EXPECT_EQ(makeDateKey(LocalDate {2001, 6, 7}), u"20010607");
    EXPECT_EQ(makeDateKey(LocalDate {1000, 1, 1}), u"10000101");
    EXPECT_EQ(makeDateKey(LocalDate {9999, 12, 31}), u"99991231");
    EXPECT_EQ(makeDateKey(LocalDate {10000, 1, 1}), u"100000101");
    EXPECT_EQ(makeDateKey(LocalDate {999, 1, 1}), u" 9990101");
}

// The year range at its edges, and the digits every file of a day is named and sealed with.
TEST(FourDigitYear, EdgesOfTheRangeAndTheirDigits)
{
    const struct {
        LocalDate date;
        bool inRange;
        const char* digits;
    } cases[] = {
        {{999, 12, 31}, false, "09991231"}, {{1000, 1, 1}, true, "10000101"},  {{2026, 12, 9}, true, "20261209"},
        {{9999, 12, 31}, true, "99991231"}, {{10000, 1, 1}, false, "00000101"}, {{0, 1, 1}, false, "00000101"},
        {{-1, 1, 1}, false, "-0010101"},
    };
    for (const auto& c : cases) {
        const auto digits = dateDigits(c.date);
        EXPECT_EQ(hasFourDigitYear(c.date), c.inRange) << c.date.year;
        EXPECT_EQ(inDiaryRange(c.date), c.inRange) << c.date.year;
        EXPECT_EQ(std::string(digits.begin(), digits.end()), c.digits) << c.date.year;
    }
}

} // namespace
} // namespace pagelet
