#include "diary/DayMarks.h"

namespace pagelet {

MainMonth mainMonthOf(const DisplayedRange& range)
{
    MainMonth main;
    main.index = range.first.day == 1 ? 0 : 1;
    // The grid ends in the month after the main one.
    if (range.last.month == 1)
        main.first = {range.first.year, 12, 1};
    else
        main.first = {range.last.year, range.last.month - 1, 1};
    return main;
}

std::vector<std::uint32_t> dayMarkMasks(const DisplayedRange& range, const std::function<bool(const LocalDate&)>& hasPage)
{
    std::vector<std::uint32_t> masks(range.months > 0 ? static_cast<std::size_t>(range.months) : 0, 0u);
    const MainMonth main = mainMonthOf(range);
    if (static_cast<std::size_t>(main.index) >= masks.size())
        return masks;
    // Date steps, not local-time conversions: those cost more than the file checks.
    LocalDate date = main.first;
    std::uint32_t mask = 0;
    for (int i = 0; i < 31; ++i, date = nextDate(date))
        if (hasPage(date))
            mask |= 1u << i;
    masks[static_cast<std::size_t>(main.index)] = mask;
    return masks;
}

} // namespace pagelet
