#include "base/Text.h"
#include "base/Utf8Writer.h"

#include <algorithm>
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

// Through buffers of every small size, so pairs and long sequences meet a drain at each of
// their bytes: the same bytes as toUtf8, never more at once than the buffer holds.
TEST(Utf8Writer, DrainsWhatToUtf8GivesInPiecesNoLargerThanItsBuffer)
{
    const std::u16string text = u"a\U0001F600한\u00e9" + std::u16string(1, char16_t(0xD800)) + u"b\U0001F600\U0001F600xyz";
    for (std::size_t capacity = 4; capacity <= 12; ++capacity) {
        SCOPED_TRACE(capacity);
        std::string got;
        std::size_t largest = 0;
        Utf8Writer out([&](std::string_view bytes) {
            got += bytes;
            largest = std::max(largest, bytes.size());
            return true;
        }, capacity);
        out.bytes("<p>");
        out.text(text);
        out.byte('\n');
        EXPECT_TRUE(out.flush());
        EXPECT_EQ(got, "<p>" + toUtf8(text) + "\n");
        EXPECT_LE(largest, capacity);
    }
}

// A drain that fails once stops the writer: nothing more is handed over and flush says so.
TEST(Utf8Writer, AFailedDrainStopsIt)
{
    int drains = 0;
    Utf8Writer out([&drains](std::string_view) { return ++drains > 1; }, 4);
    out.bytes("12345");
    EXPECT_TRUE(out.failed());
    out.text(u"6789abc");
    EXPECT_FALSE(out.flush());
    EXPECT_EQ(drains, 1);
}
