#pragma once
// One entry read from another diary, before it is placed on a day.
#include "base/Day.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pagelet {

struct ImportEntry {
    // Either a moment in UTC, placed on a day by zone (UTC when empty), or a local date with
    // an optional time of day as the source wrote it.
    std::optional<std::int64_t> utcSeconds;
    std::string zone;
    LocalDate date;
    int hour = -1; // -1: no time of day
    int minute = 0;
    std::u16string title;
    std::u16string body;
    std::vector<std::u16string> tags;
    std::vector<std::u16string> attachments;
    std::string origin; // where it was read, for messages: "FILE" or "FILE, entry N"
};

// Why a source or an import is refused; it stays inside the import code, whose functions
// return the message instead.
class ImportRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace pagelet
