#include "base/Text.h"

#include <gtest/gtest.h>

using namespace pagelet;

// Every length of sequence, pairs and lone surrogates, each way round.
TEST(Utf8, EncodesEveryLengthAndReplacesLoneSurrogates)
{
    const struct {
        std::u16string units;
        std::string bytes;
    } cases[] = {
        {u"", ""},
        {u"a\r\n", "a\r\n"},
        {u"\u00e9\u07ff", "\xc3\xa9\xdf\xbf"},
        {u"한글\uffff", "\xed\x95\x9c\xea\xb8\x80\xef\xbf\xbf"},
        {u"\U0001F600x", "\xf0\x9f\x98\x80x"},
        {std::u16string(1, char16_t(0xD800)) + u"a", "\xef\xbf\xbd" "a"},
        {u"a" + std::u16string(1, char16_t(0xDC00)), "a\xef\xbf\xbd"},
        {std::u16string(1, char16_t(0xDBFF)), "\xef\xbf\xbd"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toUtf8(c.units), c.bytes);
        if (c.bytes.find("\xef\xbf\xbd") == std::string::npos) {
            EXPECT_EQ(fromUtf8(c.bytes), c.units);
        }
    }
}
