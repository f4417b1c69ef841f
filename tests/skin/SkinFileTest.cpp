#include "fakes/Fakes.h"
#include "skin/SkinFile.h"
#include "skin/SkinTestFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace pagelet;

namespace {

struct Line {
    std::string text;
    unsigned number;
    friend bool operator==(const Line&, const Line&) = default;
};

std::ostream& operator<<(std::ostream& os, const Line& l)
{
    return os << l.number << ":'" << l.text << "'";
}

struct Reading {
    std::vector<Line> lines;
    std::vector<fakes::ShownMessage> warnings;
};

// Reads the bytes through a reader the way the loader does, until it returns 0.
Reading readAll(const std::string& bytes, unsigned capacity = 100)
{
    skintest::TempFolder temp;
    temp.write("skin.skn", bytes);
    fakes::FakeMessageBox messages;
    SkinFile file(2048, messages);
    Reading out;
    if (!file.Open(temp.folder() + u"skin.skn"))
        return out;
    std::vector<char> line(capacity);
    while (const unsigned n = file.ReadLine(line.data(), capacity)) {
        out.lines.push_back({line.data(), n});
        if (out.lines.size() > 10000)
            break; // a reader that never ends
    }
    EXPECT_STREQ(line.data(), "") << "the end leaves an empty line";
    out.warnings = messages.shown;
    return out;
}

std::string warning(unsigned line)
{
    return "m_pBuffer overflow in line " + std::to_string(line) + " (line length over 100 chars)";
}

} // namespace

TEST(SkinFile, DeliversNonEmptyLinesWithTheirNumbers)
{
    const std::string x98(98, 'x'), x99(99, 'x');
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<Line> want;
    };
    const Case cases[] = {
        {"CR LF with a blank line", "A\r\n\r\nB\r\n", {{"A", 1}, {"B", 3}}},
        {"LF only counts blank lines partly", "A\n\nB", {{"A", 1}, {"B", 2}}},
        {"last line without a break", "TEXT:0,0,0", {{"TEXT:0,0,0", 1}}},
        {"CR only", "A\rB\r\rC\r", {{"A", 1}, {"B", 2}, {"C", 3}}},
        {"leading blank lines", "\r\n\r\nA\r\n", {{"A", 3}}},
        {"empty file", "", {}},
        {"only line breaks", "\r\n\n\r\r\n", {}},
        {"98 characters and a break fit", x98 + "\r\n", {{x98, 1}}},
        {"99 characters at the very end fit", x99, {{x99, 1}}},
    };
    for (const auto& c : cases) {
        const Reading r = readAll(c.bytes);
        EXPECT_EQ(r.lines, c.want) << c.name;
        EXPECT_TRUE(r.warnings.empty()) << c.name;
    }
}

TEST(SkinFile, SplitsALongLineIntoPiecesAndWarnsForEachOverflow)
{
    const std::string longLine = std::string(120, 'a') + std::string(130, 'b');
    const Reading r = readAll("ONE\r\nTWO\r\n" + longLine + "\r\nAFTER\r\n");
    ASSERT_EQ(r.lines.size(), 6u);
    EXPECT_EQ(r.lines[2], (Line {longLine.substr(0, 99), 3}));
    EXPECT_EQ(r.lines[3], (Line {longLine.substr(99, 99), 4}));
    EXPECT_EQ(r.lines[4], (Line {longLine.substr(198), 5}));
    EXPECT_EQ(r.lines[5].text, "AFTER");
    ASSERT_EQ(r.warnings.size(), 2u);
    EXPECT_EQ(toUtf8(r.warnings[0].text), warning(3));
    EXPECT_EQ(toUtf8(r.warnings[1].text), warning(4));
    EXPECT_EQ(r.warnings[0].caption, u"Warning !");
    EXPECT_EQ(r.warnings[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(r.warnings[0].icon, MessageIcon::Exclamation);

    // The test for room comes before the byte is looked at: 99 characters and a break warn.
    const Reading edge = readAll(std::string(99, 'x') + "\n");
    EXPECT_EQ(edge.lines, (std::vector<Line> {{std::string(99, 'x'), 1}}));
    EXPECT_EQ(edge.warnings.size(), 1u);
}

TEST(SkinFile, JoinsLinesAcrossBufferRefills)
{
    std::string bytes;
    std::vector<Line> want;
    for (unsigned i = 1; i <= 600; ++i) {
        const std::string text = "NUMBER:" + std::to_string(i) + "," + std::to_string(i * 7);
        bytes += text + "\r\n";
        want.push_back({text, i});
    }
    ASSERT_GT(bytes.size(), 3u * 2048);
    const Reading r = readAll(bytes);
    // A CR LF split by a refill isn't seen as a pair, which may only shift the numbers.
    ASSERT_EQ(r.lines.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(r.lines[i].text, want[i].text);
    EXPECT_TRUE(r.warnings.empty());
}

TEST(SkinFile, OpensOnlyReadableRegularFilesAndReadsNothingAfterTheEnd)
{
    skintest::TempFolder temp;
    temp.write("skin.skn", "A\r\n");
    std::filesystem::create_directories(temp.file("folder.skn"));
    fakes::FakeMessageBox messages;
    SkinFile file(2048, messages);
    EXPECT_FALSE(file.Open(temp.folder() + u"missing.skn"));
    EXPECT_FALSE(file.Open(temp.folder() + u"folder.skn"));
    EXPECT_FALSE(file.Open(u"/dev/zero"));
    ASSERT_TRUE(file.Open(temp.folder() + u"skin.skn"));
    char line[100];
    EXPECT_EQ(file.ReadLine(line, sizeof line), 1u);
    EXPECT_EQ(file.ReadLine(line, sizeof line), 0u);
    EXPECT_EQ(file.ReadLine(line, sizeof line), 0u);
    file.Close();
    EXPECT_EQ(file.m_nLine, 0u);
    EXPECT_TRUE(messages.shown.empty());
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
        {"TEXT:", "TEXT", {0, 0, 0}},
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
    for (const char* skipped : {"[Buttons]", "::[Buttons]:1,2", ":", ":::", ""})
        EXPECT_FALSE(ParseSkinLine(skipped)) << skipped;
}
