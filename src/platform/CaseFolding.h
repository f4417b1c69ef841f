#pragma once
#include "base/UnitScan.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

namespace pagelet {

// The platform's lower-casing, one UTF-16 code unit at a time, so a position in the folded
// text is the same position in the original.
class CaseFolding {
public:
    virtual ~CaseFolding() = default;
    // Takes the text by value: a text moved in is folded where it lies, without a second buffer.
    virtual std::u16string toLower(std::u16string text) const = 0;

    // The lower case of every unit, asked of toLower once and kept: every later search of the
    // session looks units up in it.
    const FoldTable& table() const
    {
        std::call_once(m_tableMade, [this] {
            std::u16string units(0x10000, u'\0');
            for (std::size_t c = 0; c < units.size(); ++c)
                units[c] = static_cast<char16_t>(c);
            m_table = std::make_unique<FoldTable>(toLower(std::move(units)));
        });
        return *m_table;
    }

private:
    mutable std::once_flag m_tableMade;
    mutable std::unique_ptr<FoldTable> m_table;
};

} // namespace pagelet
