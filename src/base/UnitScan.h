#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pagelet {

// Fast loops over UTF-16 code units for searching whole folders of pages.

// The lower case of every code unit, as the platform folds them one unit at a time, and the
// way back: which units fold to a given one.
class FoldTable {
public:
    // lowered[c] is the lower case of unit c; a table of any other size folds nothing.
    explicit FoldTable(std::u16string lowered);

    char16_t lower(char16_t c) const { return m_lower[c]; }
    const char16_t* data() const { return m_lower.data(); }
    // Every unit whose lower case is c, in order.
    std::u16string foldingTo(char16_t c) const;

private:
    std::u16string m_lower;
    std::vector<std::pair<char16_t, char16_t>> m_changed; // (lower case, unit), sorted
};

// One word, looked for in page after page: exactly, or with the case folded through a table.
class UnitFinder {
public:
    // folding may be null for an exact search; it must outlive the finder.
    UnitFinder(std::u16string_view word, const FoldTable* folding);

    // The first position at or after from where the word occurs; an empty word occurs at from.
    std::optional<std::size_t> find(std::u16string_view text, std::size_t from = 0) const;
    // The word as searched for: folded when the case is.
    const std::u16string& word() const { return m_word; }

private:
    static constexpr std::size_t kMaxVariants = 4;

    std::u16string m_word;
    const char16_t* m_table = nullptr;
    // The units a page may hold where the word starts and ends; none when there are too many
    // to test side by side, and each position is then folded and compared one by one.
    std::array<char16_t, kMaxVariants> m_firsts {};
    std::array<char16_t, kMaxVariants> m_lasts {};
    std::size_t m_variants = 0;
};

} // namespace pagelet
