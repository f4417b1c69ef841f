#pragma once
// "This day in earlier years": the pages kept on the same month and day before the shown year.
#include "base/Day.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pagelet {

class PageStore;

struct EarlierPage {
    LocalDate date;
    std::u16string firstLine; // the page's first line with text, cut to a menu's width
};

// Newest first. A page that can't be read is listed with an empty line: it is still there.
std::vector<EarlierPage> earlierYears(const PageStore& pages, const LocalDate& shown, std::size_t lineUnits = 40);

} // namespace pagelet
