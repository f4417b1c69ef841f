#pragma once
#include "base/Day.h"

#include <string>

namespace pagelet {

// A day as a sentence names it: "2026년 12월 9일", or the translation's order.
std::u16string longDate(const LocalDate& date);

} // namespace pagelet
