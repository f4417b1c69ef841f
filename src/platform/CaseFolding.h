#pragma once
#include <string>

namespace pagelet {

// The platform's lower-casing, one UTF-16 code unit at a time, so a position in the folded
// text is the same position in the original.
class CaseFolding {
public:
    virtual ~CaseFolding() = default;
    // Takes the text by value: a text moved in is folded where it lies, without a second buffer.
    virtual std::u16string toLower(std::u16string text) const = 0;
};

} // namespace pagelet
