#include "diary/WordSearch.h"

#include <gtest/gtest.h>
#include <string>

using namespace pagelet;

TEST(WordSearch, FindsTheWordAcrossAndAtTheEdgesOfTheBlocksItSkims)
{
    // 100 units of filler with the word placed where the 32-unit blocks meet and end.
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
        EXPECT_EQ(findWord(c.text, c.word, c.from), c.want) << c.from << " " << c.want;
}
