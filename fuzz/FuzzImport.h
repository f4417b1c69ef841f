#pragma once
// What every import reader must do on any bytes: read, or refuse with ImportRefused; nothing
// else may escape, and what it reads must turn into page text.
#include "import/DayImport.h"
#include "import/ImportEntry.h"

#include <cstdlib>
#include <exception>
#include <vector>

namespace pagelet {

template <typename Read>
void readOrRefuse(Read read)
{
    try {
        const std::vector<ImportEntry> entries = read();
        for (const ImportEntry& entry : entries)
            (void)entryText(entry);
    } catch (const ImportRefused&) {
    } catch (const std::exception&) {
        std::abort(); // a reader's own failure must come out as a refusal with a message
    }
}

} // namespace pagelet
