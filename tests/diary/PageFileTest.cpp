#include "DiaryRig.h"

#include "diary/DateKey.h"
#include "diary/PageFile.h"


using namespace pagelet;
using namespace pagelet::testing;

TEST(DateKey, NamesTheLocalDate)
{
    // Test runs in a zone east of UTC: early morning local time is still the day before in UTC.
    struct Case {
        LocalDate date;
        int hour, minute, second;
        std::u16string key;
    };
    const std::vector<Case> cases = {
        {{2001, 6, 7}, 0, 0, 0, u"20010607"},
        {{2001, 6, 7}, 0, 30, 0, u"20010607"},
        {{2001, 6, 7}, 12, 0, 0, u"20010607"},
        {{2001, 6, 7}, 23, 59, 59, u"20010607"},
        {{2001, 12, 31}, 23, 59, 59, u"20011231"},
        {{2002, 1, 1}, 0, 0, 0, u"20020101"},
        {{2040, 2, 29}, 8, 0, 0, u"20400229"}, // past 2038: needs 64-bit seconds
    };
    for (const auto& c : cases)
        EXPECT_EQ(makeDateKey(fromLocal(c.date, c.hour, c.minute, c.second)), c.key) << toUtf8(c.key);
}

TEST(PageFile, EncodesWeatherLengthAndLittleEndianUnits)
{
    const Bytes want = {3, 0, 0, 0, 4, 0, 0, 0, 0x00, 0xAC, 0x0D, 0x00, 0x0A, 0x00, 0x41, 0x00};
    EXPECT_EQ(encodePage({3, u"가\r\nA"}), want);
}

TEST(PageFile, DecodesDamagedFilesWithoutReadingPastTheEnd)
{
    struct Case {
        const char* what;
        Bytes bytes;
        std::optional<Page> want;
    };
    const std::vector<Case> cases = {
        {"empty", {}, std::nullopt},
        {"seven bytes", {1, 0, 0, 0, 1, 0, 0}, std::nullopt},
        {"header only", {2, 0, 0, 0, 0, 0, 0, 0}, Page {2, u""}},
        {"length past the end", {1, 0, 0, 0, 9, 0, 0, 0, 'a', 0, 'b', 0}, Page {1, u"ab"}},
        {"odd trailing byte", {1, 0, 0, 0, 2, 0, 0, 0, 'a', 0, 'b'}, Page {1, u"a"}},
        {"length shorter than the text", {4, 0, 0, 0, 1, 0, 0, 0, 'a', 0, 'b', 0}, Page {4, u"a"}},
        {"negative length", {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 0}, Page {1, u""}},
        {"weather 5", {5, 0, 0, 0, 1, 0, 0, 0, 'a', 0}, Page {0, u"a"}},
        {"weather -1", {0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 'a', 0}, Page {0, u"a"}},
    };
    for (const auto& c : cases) {
        const auto got = decodePage(c.bytes);
        ASSERT_EQ(got.has_value(), c.want.has_value()) << c.what;
        if (got) {
            EXPECT_EQ(got->weather, c.want->weather) << c.what;
            EXPECT_EQ(got->text, c.want->text) << c.what;
        }
    }
}
