#pragma once
// The two JSON journals: a command-line journal's export ("entries" with "date" and "time" as
// written where they were made) and a photo journal's Journal.json ("entries" with a UTC
// "creationDate" and its "timeZone").
#include "import/ImportEntry.h"

#include <string>
#include <string_view>
#include <vector>

namespace pagelet {

// Throws ImportRefused for text that is no such journal, cut short or with a bad date.
std::vector<ImportEntry> readJsonJournal(std::string_view text, const std::string& origin);

} // namespace pagelet
