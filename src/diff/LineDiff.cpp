#include "store/LineDiff.h"

#include <dtl/dtl.hpp>

extern "C" __attribute__((visibility("default"))) void pagelet_line_diff(const std::vector<std::u16string>* a,
                                                                         const std::vector<std::u16string>* b,
                                                                         std::string* steps)
{
    dtl::Diff<std::u16string, std::vector<std::u16string>> diff(*a, *b);
    diff.compose();
    for (const auto& [line, info] : diff.getSes().getSequence())
        steps->push_back(static_cast<char>(info.type == dtl::SES_COMMON   ? pagelet::LineStep::Common
                                           : info.type == dtl::SES_DELETE ? pagelet::LineStep::Removed
                                                                          : pagelet::LineStep::Added));
}
