#pragma once
// A command-line journal's plain text: each entry starts with a line "[YYYY-MM-DD HH:MM] title"
// (brackets optional, seconds and "AM"/"PM" allowed) and its body runs to the next such line.
#include "import/ImportEntry.h"

#include <string>
#include <string_view>
#include <vector>

namespace pagelet {

// Throws ImportRefused when no line starts an entry, or text stands before the first one.
std::vector<ImportEntry> readPlainJournal(std::string_view text, const std::string& origin);

} // namespace pagelet
