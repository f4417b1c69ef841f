#include "qt/ports/QtCaseFolding.h"

#include <QChar>

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
    // Every unit, in blocks of every kind, as QChar lowers it alone.
    std::u16string all(0x10000, u'\0'), want(0x10000, u'\0');
    for (int u = 0; u < 0x10000; ++u) {
        all[u] = static_cast<char16_t>(u);
        want[u] = QChar(static_cast<char16_t>(u)).toLower().unicode();
    }
    EXPECT_EQ(fold.toLower(all), want);
}

} // namespace pagelet
