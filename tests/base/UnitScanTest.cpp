#include "base/UnitScan.h"

#include <gtest/gtest.h>
#include <string>

using namespace pagelet;

namespace {

int found(const UnitFinder& finder, std::u16string_view text, std::size_t from)
{
    const auto at = finder.find(text, from);
    return at ? static_cast<int>(*at) : -1;
}

// ASCII lowered, and n units past 'z' that all fold to 'x': more than the skim tests side by side.
FoldTable asciiTable(int extraX)
{
    std::u16string lowered(0x10000, u'\0');
    for (std::size_t c = 0; c < lowered.size(); ++c)
        lowered[c] = static_cast<char16_t>(c >= u'A' && c <= u'Z' ? c + 32 : c);
    for (int k = 0; k < extraX; ++k)
        lowered[0x100 + k] = u'x';
    return FoldTable(lowered);
}

} // namespace

TEST(UnitScan, FindsTheWordAcrossAndAtTheEdgesOfTheBlocksItSkims)
{
    // 100 units of filler with the word placed where the blocks meet and end.
    const auto with = [](std::size_t at) {
        std::u16string text(100, u'a');
        text.replace(at, 3, u"abc");
        return text;
    };
    const struct {
        std::u16string text;
        std::u16string word;
        std::size_t from;
        int want;
    } cases[] = {
        {with(0), u"abc", 0, 0},   {with(30), u"abc", 0, 30}, {with(31), u"abc", 0, 31},
        {with(64), u"abc", 0, 64}, {with(97), u"abc", 0, 97}, {with(97), u"abc", 98, -1},
        {with(40), u"abc", 40, 40}, {with(40), u"abc", 41, -1}, {with(50), u"aab", 0, 49},
        {u"short", u"longer word", 0, -1}, {u"abc", u"", 3, 3}, {u"abc", u"", 4, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(found(UnitFinder(c.word, nullptr), c.text, c.from), c.want) << c.from << " " << c.want;
}

// Every unit that folds to the word's first or last one is a place to look, however many there are.
TEST(UnitScan, FoldedWordsMatchEveryUnitThatFoldsToTheirEnds)
{
    const std::u16string odd(1, u'\u0101'); // one of the extra units that fold to 'x'
    // Far enough from the page's end to be found by the skim, not by the one-by-one tail.
    const auto at40 = [](const std::u16string& word) { return std::u16string(40, u'.') + word + std::u16string(100, u'.'); };
    const struct {
        int extraX;
        std::u16string word;
        std::u16string text;
        int want;
    } cases[] = {
        {0, u"Xy", at40(u"xY"), 40},
        {2, u"xy", at40(odd + u"Y"), 40},
        {2, u"yx", at40(u"y" + odd), 40},
        {9, u"xy", at40(odd + u"y"), 40},   // too many to skim for: one by one
        {9, u"axb", at40(u"A" + odd + u"B"), 40},
        {9, u"xy", at40(u"\u0099y"), -1}, // near, but folds to itself
    };
    for (const auto& c : cases) {
        const FoldTable table = asciiTable(c.extraX);
        EXPECT_EQ(found(UnitFinder(c.word, &table), c.text, 0), c.want) << c.extraX;
    }
    const FoldTable table = asciiTable(3);
    EXPECT_EQ(table.foldingTo(u'x'), std::u16string(u"Xx\u0100\u0101\u0102"));
    EXPECT_EQ(FoldTable(u"short").lower(u'A'), u'A'); // a table of the wrong size folds nothing
}
