#pragma once
// A photo journal's older export: one XML property list per entry ("entries/*.doentry").
#include "import/ImportEntry.h"

#include <string>
#include <string_view>

namespace pagelet {

class PropertyLists;

// "Creation Date" (UTC), "Entry Text", "Tags" and "Time Zone"; throws ImportRefused for damaged
// XML or an entry without its date.
ImportEntry readEntryPlist(std::string_view xml, const PropertyLists& lists, const std::string& origin);

} // namespace pagelet
