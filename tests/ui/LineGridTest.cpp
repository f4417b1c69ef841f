// The rows both the page and the widget place lines on.
#include "ui/LineGrid.h"

#include <gtest/gtest.h>

using namespace pagelet;

TEST(LineGrid, RowsTheirPixelsAndHowManyFit)
{
    struct Case {
        int lineHeight, y, row;     // y: a pixel row of the editor, and the row it belongs to
        int height, whole, partial; // the editor's height, rows fully and at least partly in it
    };
    const Case cases[] = {
        {14, 0, 0, 140, 10, 10},  // above the first row's top: still the first row
        {14, 15, 0, 150, 10, 11}, // the first row's last pixel; a part-shown eleventh row
        {14, 16, 1, 13, 0, 1},    // the second row's top
        {14, 2 + 14 * 7 + 13, 7, 0, 0, 0},
        {0, 50, 0, 140, 0, 0}, // no height yet: no rows, and no division by it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "height " << c.lineHeight << " y " << c.y);
        const LineGrid grid(c.lineHeight);
        EXPECT_EQ(grid.rowAt(c.y), c.row);
        EXPECT_EQ(grid.top(c.row), LineGrid::kInset + c.row * c.lineHeight);
        EXPECT_EQ(grid.wholeRows(c.height), c.whole);
        EXPECT_EQ(grid.partialRows(c.height), c.partial);
    }
}
