#pragma once
#include "platform/ZoneOffsets.h"

namespace pagelet {

// Qt's reading of the system's time zone database.
class QtZoneOffsets : public ZoneOffsets {
public:
    std::optional<int> offsetAt(const std::string& zone, std::int64_t utcSeconds) const override;
};

} // namespace pagelet
