#pragma once
#include <cstddef>
#include <string>
#include <utility>

namespace pagelet {

// The platform's lower-casing, one UTF-16 code unit at a time, so a position in the folded
// text is the same position in the original.
class CaseFolding {
public:
    virtual ~CaseFolding() = default;
    // Takes the text by value: a text moved in is folded where it lies, without a second buffer.
    virtual std::u16string toLower(std::u16string text) const = 0;

    // The lower case of all 65,536 units, indexed by unit: searches look units up in it.
    std::u16string lowerOfEveryUnit() const
    {
        std::u16string units(0x10000, u'\0');
        for (std::size_t c = 0; c < units.size(); ++c)
            units[c] = static_cast<char16_t>(c);
        return toLower(std::move(units));
    }
};

} // namespace pagelet
