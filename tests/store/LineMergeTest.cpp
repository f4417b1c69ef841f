#include "base/Text.h"
#include "store/LineMerge.h"

#include <gtest/gtest.h>

namespace pagelet {
namespace {

const std::u16string kMarker = u"──── 다른 곳에서 바뀐 내용 ────";

TEST(LineMerge, MergesByLinesKeepingBothSidesAndCrLf)
{
    struct Case {
        const char* name;
        Page base, ours, theirs;
        Page merged;
        bool overlapped;
    };
    const Case cases[] = {
        {"both appended", {0, u"a\r\nb"}, {0, u"a\r\nb\r\nours"}, {0, u"a\r\nb\r\ntheirs"}, {0, u"a\r\nb\r\nours\r\ntheirs"}, false},
        {"different lines", {1, u"a\r\nb\r\nc"}, {1, u"A\r\nb\r\nc"}, {1, u"a\r\nb\r\nC"}, {1, u"A\r\nb\r\nC"}, false},
        {"same change once", {0, u"a"}, {0, u"a\r\nx"}, {0, u"a\r\nx"}, {0, u"a\r\nx"}, false},
        {"overlapping", {0, u"a\r\nb"}, {0, u"a\r\nmine"}, {0, u"a\r\nyours"}, {0, u"a\r\nmine\r\n" + kMarker + u"\r\na\r\nyours"}, true},
        {"theirs deleted a line", {0, u"a\r\nb\r\nc"}, {0, u"a\r\nb\r\nc\r\nd"}, {0, u"a\r\nc"}, {0, u"a\r\nc\r\nd"}, false},
        {"theirs weather only", {1, u"a"}, {1, u"a\r\nb"}, {3, u"a"}, {3, u"a\r\nb"}, false},
        {"both weathers: ours", {1, u"a"}, {2, u"a"}, {3, u"a"}, {2, u"a"}, false},
        {"ours emptied", {0, u"a\r\nb"}, {0, u""}, {0, u"a\r\nb\r\nc"}, {0, u"c"}, false},
        {"trailing break kept", {0, u"a\r\n"}, {0, u"a\r\nb\r\n"}, {0, u"a\r\nc\r\n"}, {0, u"a\r\nb\r\nc\r\n"}, false},
        {"lone LF from elsewhere", {0, u"a\r\nb"}, {0, u"a\r\nb\r\nx"}, {0, u"z\nb"}, {0, u"z\r\nb\r\nx"}, false},
        // At the same line an insertion goes before a replacement, whichever side made which.
        {"ours inserted where theirs replaced", {0, u"a\r\nb\r\nc"}, {0, u"a\r\nx\r\nb\r\nc"}, {0, u"a\r\nB\r\nc"}, {0, u"a\r\nx\r\nB\r\nc"}, false},
        {"theirs inserted where ours replaced", {0, u"a\r\nb\r\nc"}, {0, u"a\r\nB\r\nc"}, {0, u"a\r\nx\r\nb\r\nc"}, {0, u"a\r\nx\r\nB\r\nc"}, false},
        {"inserted before a first line replaced", {0, u"a\r\nb"}, {0, u"x\r\na\r\nb"}, {0, u"A\r\nb"}, {0, u"x\r\nA\r\nb"}, false},
    };
    for (const auto& c : cases) {
        const MergedPage got = mergePages(c.base, c.ours, c.theirs, kMarker);
        EXPECT_EQ(got.page.text, c.merged.text) << c.name;
        EXPECT_EQ(got.page.weather, c.merged.weather) << c.name;
        EXPECT_EQ(got.overlapped, c.overlapped) << c.name;
    }
}

// A conflict copy has no base: every line of both, the shared ones once, whichever side is longer.
TEST(LineMerge, ACopyKeepsEveryLineOfBoth)
{
    const struct {
        const char16_t *ours, *copy, *merged;
    } cases[] = {
        {u"a\r\nb\r\nc", u"a\r\nx\r\nc", u"a\r\nb\r\nx\r\nc"},
        {u"a\r\nb\r\nc\r\nd\r\ne", u"b\r\nd", u"a\r\nb\r\nc\r\nd\r\ne"},
        {u"b\r\nd", u"a\r\nb\r\nc\r\nd\r\ne", u"a\r\nb\r\nc\r\nd\r\ne"},
        {u"x\r\ny\r\nz", u"y", u"x\r\ny\r\nz"},
        {u"", u"a\r\nb", u"a\r\nb"},
        {u"a\r\nb", u"", u"a\r\nb"},
        {u"a\r\nb", u"c\r\nd", u"a\r\nb\r\nc\r\nd"},
    };
    for (const auto& c : cases) {
        const MergedPage got = mergeCopy({0, c.ours}, {2, c.copy}, kMarker);
        EXPECT_EQ(got.page.text, c.merged) << toUtf8(c.ours) << " + " << toUtf8(c.copy);
        EXPECT_FALSE(got.overlapped) << toUtf8(c.ours) << " + " << toUtf8(c.copy);
    }
}


} // namespace
} // namespace pagelet
