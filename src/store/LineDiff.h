#pragma once
// The shortest edit between two runs of lines. The diff library lives in a module of its own
// (src/diff, opened at the first diff): its header sets up the standard streams at the start of
// any program it is linked into, a cost every start would pay for a merge few ever need.
#include <cstddef>
#include <string>
#include <vector>

namespace pagelet {

// One step of the edit: a line both have, a line only a has, a line only b has.
enum class LineStep : char { Common = 'c', Removed = 'r', Added = 'a' };

// The steps in order, walking a and b from their first lines to their ends.
std::vector<LineStep> diffLines(const std::vector<std::u16string>& a, const std::vector<std::u16string>& b);

// The module's entry: the steps appended to steps, one character each.
using LineDiffEntry = void(const std::vector<std::u16string>* a, const std::vector<std::u16string>* b, std::string* steps);
inline constexpr char kLineDiffEntry[] = "pagelet_line_diff";

} // namespace pagelet
