#pragma once
#include "base/Color.h"
#include "base/Day.h"
#include "base/Geometry.h"

#include <cstdint>
#include <vector>

namespace pagelet {

struct DisplayedRange {
    LocalDate first;
    LocalDate last;
    int months = 0; // partly shown months counted
};

// A month calendar showing one month in full with the trailing days of its neighbours.
// Its notifications (day picked, selection changed, day states requested) are delivered by
// the platform layer to MainDialog's handlers of the same names.
class MonthCalendar {
public:
    enum ColorSlot { Background = 0, Text = 1, TitleBack = 2, TitleText = 3, MonthBack = 4, TrailingText = 5 };

    virtual ~MonthCalendar() = default;
    virtual DayValue today() = 0;
    virtual void setSelection(DayValue day) = 0;
    virtual DisplayedRange displayedRange() = 0;
    // One mask per displayed month, bit i meaning day i + 1 is bold.
    virtual void setDayStates(const std::vector<std::uint32_t>& masks) = 0;
    virtual void setColor(int slot, Color color) = 0;
    virtual Size size() = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual void move(const Rect& rect) = 0;
};

} // namespace pagelet
