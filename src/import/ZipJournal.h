#pragma once
// A photo journal's export in its zip: every "*.json" at the archive's top, each a Journal.json.
#include "import/ImportEntry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pagelet {

// Throws ImportRefused for a damaged archive, one without a journal, or one that unpacks to more
// than maxBytes (a zip bomb is refused as it unpacks, never held whole).
std::vector<ImportEntry> readZipJournal(const std::string& path, std::uint64_t maxBytes);

} // namespace pagelet
