#include "fakes/Fakes.h"
#include "skin/SkinFile.h"
#include "skin/SkinTestFiles.h"

#include <gtest/gtest.h>

using namespace pagelet;

namespace {

// Reads the bytes the way the loader does, until the reader returns 0: each line as
// "number:text", each warning as "!" and its text.
std::vector<std::string> readAll(const std::string& bytes)
{
    skintest::TempFolder temp;
    temp.write("skin.skn", bytes);
    fakes::FakeMessageBox messages;
    SkinFile file(2048, messages);
    std::vector<std::string> out;
    EXPECT_TRUE(file.Open(temp.folder() + u"skin.skn"));
    char line[100];
    std::size_t shown = 0;
    while (const unsigned n = file.ReadLine(line, sizeof line)) {
        for (; shown < messages.shown.size(); ++shown) {
            const auto& m = messages.shown[shown];
            out.push_back("!" + toUtf8(m.text));
            EXPECT_EQ(m.caption, u"Warning !");
            EXPECT_EQ(m.buttons, MessageButtons::Ok);
            EXPECT_EQ(m.icon, MessageIcon::Exclamation);
        }
        out.push_back(std::to_string(n) + ":" + line);
        if (out.size() > 10000)
            break; // a reader that never ends
    }
    EXPECT_STREQ(line, "") << "the end leaves an empty line";
    return out;
}

} // namespace

TEST(SkinFile, DeliversNonEmptyLinesWithTheirNumbersAndWarnsOnceForTheFirstOverflow)
{
    const std::string x98(98, 'x'), x99(99, 'x'), a = std::string(120, 'a'), b = std::string(130, 'b');
    const std::string warn = "!m_pBuffer overflow in line ", over = " (line length over 100 chars)";
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {"CR LF with a blank line", "A\r\n\r\nB\r\n", {"1:A", "3:B"}},
        {"LF only counts blank lines partly", "A\n\nB", {"1:A", "2:B"}},
        {"CR only", "A\rB\r\rC\r", {"1:A", "2:B", "3:C"}},
        {"leading blank lines", "\r\n\r\nA", {"3:A"}},
        {"only line breaks", "\r\n\n\r\r\n", {}},
        {"98 characters and a break fit", x98 + "\r\n", {"1:" + x98}},
        {"99 characters at the very end fit", x99, {"1:" + x99}},
        // The test for room comes before the byte is looked at.
        {"99 characters and a break warn", x99 + "\n", {warn + "1" + over, "1:" + x99}},
        {"a 250-character line comes in three pieces with one warning",
         "ONE\r\nTWO\r\n" + a + b + "\r\nAFTER\r\n",
         {"1:ONE", "2:TWO", warn + "3" + over, "3:" + a.substr(0, 99), "4:" + a.substr(99) + b.substr(0, 78),
          "5:" + b.substr(78), "6:AFTER"}},
        {"a later long line reads on silently", a + "\n" + b + "\n",
         {warn + "1" + over, "1:" + a.substr(0, 99), "2:" + a.substr(99), "3:" + b.substr(0, 99), "4:" + b.substr(99)}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readAll(c.bytes), c.want) << c.name;
}

TEST(SkinFile, JoinsLinesAcrossBufferRefills)
{
    std::string bytes;
    std::vector<std::string> want;
    for (unsigned i = 1; i <= 600; ++i) {
        want.push_back("NUMBER:" + std::to_string(i) + "," + std::to_string(i * 7));
        bytes += want.back() + "\r\n";
    }
    ASSERT_GT(bytes.size(), 3u * 2048);
    // A CR LF split by a refill isn't seen as a pair, which may only shift the numbers.
    std::vector<std::string> got;
    for (const std::string& l : readAll(bytes))
        got.push_back(l.substr(l.find(':') + 1));
    EXPECT_EQ(got, want);
}

TEST(SkinFile, OpensOnlyReadableRegularFilesAndReadsNothingAfterTheEnd)
{
    skintest::TempFolder temp;
    temp.write("skin.skn", "A\r\n");
    std::filesystem::create_directories(temp.root / "folder.skn");
    fakes::FakeMessageBox messages;
    SkinFile file(2048, messages);
    for (const std::u16string& bad : {temp.folder() + u"missing.skn", temp.folder() + u"folder.skn", std::u16string(u"/dev/zero")})
        EXPECT_FALSE(file.Open(bad)) << toUtf8(bad);
    ASSERT_TRUE(file.Open(temp.folder() + u"skin.skn"));
    char line[100];
    EXPECT_EQ(file.ReadLine(line, sizeof line), 1u);
    EXPECT_EQ(file.ReadLine(line, sizeof line), 0u);
    EXPECT_EQ(file.ReadLine(line, sizeof line), 0u);
}

TEST(SkinFile, ParsesKeysAndUpToThreeValues)
{
    struct Case {
        const char* line;
        const char* key;
        std::array<std::int32_t, 3> values;
    };
    const Case cases[] = {
        {"::TEXT:1,2,3", "TEXT", {1, 2, 3}},
        {"TEXT:1,,3", "TEXT", {1, 3, 0}},
        {"TEXT:1:2,3", "TEXT", {1, 3, 0}},
        {"TEXT: 255 , 0 ,-1", "TEXT", {255, 0, -1}},
        {"TEXT", "TEXT", {0, 0, 0}},
        {"TEXT:,,,4,5,6,7", "TEXT", {4, 5, 6}},
        {"NUMBER:7px,0x10,+9", "NUMBER", {7, 0, 9}},
        {"NUMBER:\t-12,abc,--3", "NUMBER", {-12, 0, 0}},
        {"text :1,2,3", "text ", {1, 2, 3}},
        {"W:99999999999,-99999999999", "W", {2147483647, -2147483647 - 1, 0}},
    };
    for (const auto& c : cases) {
        const auto entry = ParseSkinLine(c.line);
        ASSERT_TRUE(entry) << c.line;
        EXPECT_EQ(entry->key, c.key) << c.line;
        EXPECT_EQ(entry->values, c.values) << c.line;
    }
    for (const char* skipped : {"[Buttons]", "::[Buttons]:1,2", ":", ""})
        EXPECT_FALSE(ParseSkinLine(skipped)) << skipped;
}
