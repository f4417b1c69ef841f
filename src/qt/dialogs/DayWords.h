#pragma once
#include "base/Day.h"

#include <QString>

namespace pagelet {

// A day in words, in the program's language: "2026년 12월 9일 수요일", as a screen reader says it.
QString dayInWords(const LocalDate& date);

} // namespace pagelet
