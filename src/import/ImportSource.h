#pragma once
// Finds what a path holds and reads every entry in it: a journal file (JSON or plain text), a
// month file, a daily note, or a folder of month files, daily notes ("YYYY-MM-DD.md") or a
// journal kept as "YYYY/MM/DD.txt".
#include "import/ImportEntry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pagelet {

struct SourceRead {
    std::vector<ImportEntry> entries;
    std::string error; // why nothing was read; empty when the entries are all there is
};

struct SourceLimits {
    std::uint64_t fileBytes = 64u << 20;   // one file
    std::uint64_t totalBytes = 512u << 20; // every file of a folder
    std::size_t files = 100000;
};

// Reads all of it or nothing: the first damage found refuses the whole source.
SourceRead readImportSource(const std::u16string& path, const SourceLimits& limits = {});

} // namespace pagelet
