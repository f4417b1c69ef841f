#include "DiaryRig.h"

using namespace pagelet;
using namespace pagelet::testing;

TEST(DateKey, NamesTheLocalDate)
{
    // The tests run east of UTC: local midnight is still the day before in UTC.
    struct Case {
        LocalDate date;
        int hour, minute, second;
        std::u16string key;
    };
    const std::vector<Case> cases = {
        {{2001, 6, 7}, 0, 0, 0, u"20010607"},
        {{2001, 12, 31}, 23, 59, 59, u"20011231"},
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
        {"seven bytes", {1, 0, 0, 0, 1, 0, 0}, std::nullopt},
        {"length past the end", {4, 0, 0, 0, 9, 0, 0, 0, 'a', 0, 'b', 0}, Page {4, u"ab"}},
        {"odd trailing byte", {1, 0, 0, 0, 2, 0, 0, 0, 'a', 0, 'b'}, Page {1, u"a"}},
        {"length shorter than the text, weather 5", {5, 0, 0, 0, 1, 0, 0, 0, 'a', 0, 'b', 0}, Page {0, u"a"}},
        {"negative length, weather -1", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, Page {0, u""}},
        {"negative length while text follows", {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 0}, std::nullopt},
        {"zero length while a byte follows", {1, 0, 0, 0, 0, 0, 0, 0, 'a'}, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto got = decodePage(c.bytes);
        ASSERT_EQ(got.has_value(), c.want.has_value()) << c.what;
        if (got) {
            EXPECT_EQ(std::make_pair(got->weather, got->text), std::make_pair(c.want->weather, c.want->text)) << c.what;
        }
    }
}
