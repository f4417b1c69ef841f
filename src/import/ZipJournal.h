#pragma once
// A journal in a zip: a photo journal's export (every "*.json" at the archive's top, each a
// Journal.json, beside its attachments), or a backup of a YAML diary's month files "YYYY-MM.txt",
// read as their folder would be.
#include "import/ImportEntry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pagelet {

// Throws ImportRefused for a damaged archive, one without a journal, or one whose journals unpack
// to more than maxBytes (a zip bomb is refused as it unpacks, never held whole).
std::vector<ImportEntry> readZipJournal(const std::string& path, std::uint64_t maxBytes);

} // namespace pagelet
