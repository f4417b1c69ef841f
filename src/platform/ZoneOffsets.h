#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace pagelet {

// The time zone database: how far a named zone ("America/Los_Angeles") is from UTC at a moment.
class ZoneOffsets {
public:
    virtual ~ZoneOffsets() = default;
    // Seconds east of UTC at utcSeconds; nothing for a zone the database doesn't know.
    virtual std::optional<int> offsetAt(const std::string& zone, std::int64_t utcSeconds) const = 0;
};

} // namespace pagelet
