#pragma once
// Finds what a path holds and reads every entry in it: a journal file (JSON or plain text), a
// journal's zip, an entry's property list, a month file, a daily note, or a folder of month
// files, daily notes ("YYYY-MM-DD.md"), entries ("*.doentry") or a journal kept as
// "YYYY/MM/DD.txt".
#include "base/Outcome.h"
#include "import/ImportEntry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pagelet {

struct SourceLimits {
    std::uint64_t fileBytes = 64u << 20;   // one file
    std::uint64_t totalBytes = 512u << 20; // every file of a folder
    std::size_t files = 100000;
};

class PropertyLists;

// Reads all of it or nothing: the first damage found refuses the whole source. Property lists
// are read only with lists given.
Outcome<std::vector<ImportEntry>> readImportSource(const std::u16string& path, const SourceLimits& limits = {},
                                                   const PropertyLists* lists = nullptr);

} // namespace pagelet
