#pragma once
#include "state/PageHistory.h"

#include <optional>
#include <string>
#include <vector>

namespace pagelet {

// A kept version as a page; nothing when its bytes no longer read as one. The store reads
// them as its own files (an encrypted diary keeps its versions sealed); the plain reader
// when there is none.
std::optional<Page> pageOfVersion(const PageHistory& history, const HistoryVersion& version, const LocalDate& date,
                                  const PageStore* store = nullptr);
// The text up to its first line break, for a list of versions.
std::u16string firstLineOf(const std::u16string& text);
// "N  YYYY-MM-DD HH:MM:SS  BYTES  first line", N from 1, newest first.
std::vector<std::u16string> historyLines(const PageHistory& history, const LocalDate& date, const PageStore* store = nullptr);
// Version number (from 1, newest first) of the day becomes the page; the store keeps the page
// it replaces. Failed when there is no such version or it can't be read or written.
StoreResult restoreVersion(PageStore& store, const PageHistory& history, const LocalDate& date, int number);

} // namespace pagelet
