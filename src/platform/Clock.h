#pragma once
#include "base/Day.h"

namespace pagelet {

class Clock {
public:
    virtual ~Clock() = default;
    virtual DayValue now() = 0; // read in local time with toLocal
};

} // namespace pagelet
