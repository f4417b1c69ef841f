#pragma once
#include "base/Day.h"

#include <optional>
#include <string>
#include <vector>

namespace pagelet {

// A page file found in the data folder, by the date its name gives.
struct DatedPage {
    LocalDate date;
    std::u16string path;
};

// The page files of folder ("YYYYMMDD.dry" naming a real date), oldest first; nothing when the
// folder can't be listed. Folders named like pages are left out.
std::optional<std::vector<DatedPage>> listPages(const std::u16string& folder);

// The date a page file's name gives, when it names one.
std::optional<LocalDate> pageDateOf(const std::u16string& name);

// 0 Sunday .. 6 Saturday, from the date alone, whatever the time zone.
int weekdayOf(const LocalDate& date);
// The weekday's short name, from the catalogue.
std::u16string weekdayName(const LocalDate& date);
// "2026-12-07".
std::u16string isoDate(const LocalDate& date);

} // namespace pagelet
