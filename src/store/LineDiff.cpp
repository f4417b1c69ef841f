#include "store/LineDiff.h"

#include "base/LateLibrary.h"

namespace pagelet {

std::vector<LineStep> diffLines(const std::vector<std::u16string>& a, const std::vector<std::u16string>& b)
{
    static const LateLibrary module(moduleFile("libpagelet-diff.so"));
    static LineDiffEntry* const diff = [] {
        LineDiffEntry* found = nullptr;
        module.find(found, kLineDiffEntry);
        return found;
    }();
    std::string steps;
    diff(&a, &b, &steps);
    std::vector<LineStep> out;
    out.reserve(steps.size());
    for (const char step : steps)
        out.push_back(static_cast<LineStep>(step));
    return out;
}

} // namespace pagelet
