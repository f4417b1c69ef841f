#include "import/EntryPlist.h"

#include "base/Text.h"
#include "import/CivilTime.h"
#include "platform/PropertyLists.h"

namespace pagelet {

ImportEntry readEntryPlist(std::string_view xml, const PropertyLists& lists, const std::string& origin)
{
    const PropertyListRead read = lists.read(xml);
    if (!read.error.empty())
        throw ImportRefused(origin + ": " + read.error);
    const auto text = [&](const char* key) {
        const auto found = read.values.find(key);
        return found == read.values.end() ? std::u16string() : found->second.text;
    };
    ImportEntry entry;
    entry.origin = origin;
    entry.utcSeconds = parseUtcStamp(toUtf8(text("Creation Date")));
    if (!entry.utcSeconds)
        throw ImportRefused(origin + ": \"Creation Date\" is missing or no date and time within the years 1000 to 9999");
    entry.body = text("Entry Text");
    entry.zone = toUtf8(text("Time Zone"));
    if (const auto tags = read.values.find("Tags"); tags != read.values.end())
        entry.tags = tags->second.items;
    return entry;
}

} // namespace pagelet
