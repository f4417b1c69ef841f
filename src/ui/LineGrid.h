#pragma once
#include <cstdint>

namespace pagelet {

// Where the page's lines lie in the editor: text starts kInset pixels in from the left, and
// the row-th line shown (row 0 being the first shown line) has its top at
// kInset + row x lineHeight. The page draws on these rows, and the widget under it places its
// caret and reads its taps on the same rows, so both come from here.
class LineGrid {
public:
    static constexpr std::int32_t kInset = 2;

    explicit LineGrid(std::int32_t lineHeight) : m_lineHeight(lineHeight) {}

    std::int32_t lineHeight() const { return m_lineHeight; }
    std::int32_t top(int row) const { return kInset + row * m_lineHeight; }
    // The row holding pixel row y; pixels above the first row belong to it.
    int rowAt(int y) const;
    // Rows that fit entirely in height pixels, and rows that show at least in part.
    int wholeRows(int height) const;
    int partialRows(int height) const;

private:
    std::int32_t m_lineHeight;
};

} // namespace pagelet
