#pragma once
// Entries placed on their days and merged into the diary: planned whole, then written whole.
#include "base/Day.h"
#include "base/Outcome.h"
#include "import/ImportEntry.h"
#include "store/PageFormat.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pagelet {

class PageStore;
class ZoneOffsets;

// The most text a page file holds.
inline constexpr std::size_t kMaxPageUnits = (kPageFileLimit - kPageHeaderBytes) / 2;

struct ImportedDay {
    LocalDate date;
    bool newPage = false;
    int entries = 0;      // entries added to the day
    std::u16string added; // what the page gains, CR LF
    Page page;            // the page as it will be stored
};

struct ImportPlan {
    std::vector<ImportedDay> days; // oldest first; only days that gain something
    int entries = 0;
    int newPages = 0;
    int skipped = 0; // entries left out: the same entry is already on its day
};

// The entry as it reads on its page: "[HH:MM] title", the body, "#tag" words, then the
// attachments named; CR LF throughout.
std::u16string entryText(const ImportEntry& entry);

// Places each entry on its local day (its own zone, UTC when it has none), joins a day's entries
// in time order and merges them into the pages the store holds. An entry already on its day (the
// same time line and whole body, line breaks aside) is left out and counted, so the same source
// imported twice adds nothing. Fails, planning nothing, for an entry or a day too long for a
// page, or a day whose page can't be read.
Outcome<ImportPlan> planImport(const std::vector<ImportEntry>& entries, const PageStore& store, const ZoneOffsets& zones,
                      std::size_t maxPageUnits = kMaxPageUnits);

// Writes every planned day through the store, or none: when a write fails, the days written
// before it get back what they held.
Outcome<void> applyImport(const ImportPlan& plan, PageStore& store);

} // namespace pagelet
