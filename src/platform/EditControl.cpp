#include "platform/EditControl.h"

#include <algorithm>

namespace pagelet {

std::u16string EditControl::textRange(int start, int end)
{
    const std::u16string all = text();
    const auto from = static_cast<std::size_t>(std::clamp(start, 0, static_cast<int>(all.size())));
    const auto to = static_cast<std::size_t>(std::clamp(end, static_cast<int>(from), static_cast<int>(all.size())));
    return all.substr(from, to - from);
}

void EditControl::replaceSelection(const std::u16string& s)
{
    const std::u16string old = text();
    const int length = static_cast<int>(old.size());
    int start = 0;
    int end = 0;
    getSelection(start, end);
    start = std::clamp(start, 0, length);
    end = std::clamp(end, start, length);
    setText(old.substr(0, static_cast<std::size_t>(start)) + s + old.substr(static_cast<std::size_t>(end)));
    const int caret = start + static_cast<int>(s.size());
    setSelection(caret, caret);
}

} // namespace pagelet
