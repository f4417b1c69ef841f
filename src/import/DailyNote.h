#pragma once
// A daily note "YYYY-MM-DD.md": Markdown, perhaps led by a front matter block between "---"
// lines whose "tags" (a list, or one text of words apart by commas or spaces) are kept.
#include "import/ImportEntry.h"

#include <string>
#include <string_view>

namespace pagelet {

// The note as one entry of its day: the front matter taken off, its tags the entry's.
ImportEntry readDailyNote(std::string_view text, const LocalDate& date, const std::string& origin);

} // namespace pagelet
