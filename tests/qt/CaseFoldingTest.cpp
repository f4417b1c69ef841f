#include "qt/QtCaseFolding.h"

#include <gtest/gtest.h>

namespace pagelet {

TEST(CaseFolding, FoldsUnitByUnitAndKeepsPositions)
{
    const QtCaseFolding fold;
    const struct {
        std::u16string in, out;
    } cases[] = {
        {u"Apple APPLE apple", u"apple apple apple"},
        {u"ΑΒΓ Привет", u"αβγ привет"},
        {u"일기 Diary", u"일기 diary"},
        {u"\U0001F600A", u"\U0001F600a"}, // a surrogate pair passes through, the length stays
        {u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fold.toLower(c.in), c.out);
        EXPECT_EQ(fold.toLower(c.in).size(), c.in.size());
    }
}

} // namespace pagelet
