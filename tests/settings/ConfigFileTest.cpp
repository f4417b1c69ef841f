#include "base/FileIo.h"
#include "base/Text.h"
#include "settings/ConfigFile.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace pagelet;

namespace {

std::u16string tempPath(const char* name)
{
    const auto dir = std::filesystem::temp_directory_path() / ("pagelet-config-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return fromUtf8((dir / name).string());
}

Bytes le32(std::int32_t v)
{
    ByteWriter w;
    w.putInt32(v);
    return w.bytes();
}

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes units(const std::u16string& s)
{
    ByteWriter w;
    w.putUnits(s);
    return w.bytes();
}

Settings readBack(const Bytes& bytes)
{
    const auto path = tempPath("config.dat");
    EXPECT_TRUE(writeFileAtomic(path, bytes));
    ConfigFile file;
    EXPECT_TRUE(file.open(path));
    Settings s;
    file.readFirst(s);
    file.readRest(s);
    return s;
}

} // namespace

TEST(ConfigFile, RecordLayoutIsByteExact)
{
    Settings s;
    s.usePassword = 1;
    s.autoKeyboard = 0;
    s.password = u"abcd";
    s.skinName = u"default";
    s.timeFormat = 2;
    const Bytes bytes = encodeConfig(s);
    ASSERT_EQ(bytes.size(), 42u);
    EXPECT_EQ(bytes, concat({le32(1), le32(0), le32(4), units(u"abcd"), le32(7), units(u"default"), le32(2)}));

    Settings empty;
    empty.password.clear();
    empty.skinName.clear();
    EXPECT_EQ(encodeConfig(empty), concat({le32(0), le32(1), le32(0), le32(0), le32(0)}));
}

TEST(ConfigFile, RoundTripsKoreanPassword)
{
    Settings s;
    s.password = u"비밀번호";
    s.skinName = u"Wood";
    s.timeFormat = -1;
    const Settings back = readBack(encodeConfig(s));
    EXPECT_EQ(back.password, s.password);
    EXPECT_EQ(back.skinName, s.skinName);
    EXPECT_EQ(back.timeFormat, -1);
}

TEST(ConfigFile, DamagedFilesKeepPresetsAndNeverReadPastTheEnd)
{
    struct Case {
        const char* name;
        Bytes bytes;
        std::int32_t usePassword, autoKeyboard;
        std::u16string password, skinName;
        std::int32_t timeFormat;
    };
    const Bytes full = concat({le32(1), le32(0), le32(2), units(u"pw"), le32(4), units(u"Blue"), le32(5)});
    std::vector<Case> cases = {
        {"empty file", {}, 0, 1, u"", u"default", 0},
        {"half a field", {1, 0}, 0, 1, u"", u"default", 0},
        {"only the flags", concat({le32(1), le32(0)}), 1, 0, u"", u"default", 0},
        {"password longer than the file", concat({le32(1), le32(0), le32(1000), units(u"pw")}), 1, 0, u"", u"default", 0},
        {"huge password length", concat({le32(1), le32(0), le32(0x7FFFFFFF)}), 1, 0, u"", u"default", 0},
        {"negative password length", concat({le32(1), le32(0), le32(-5), le32(4), units(u"Blue"), le32(3)}), 1, 0, u"",
         u"Blue", 3},
        {"zero skin length", concat({le32(0), le32(1), le32(0), le32(0), le32(4)}), 0, 1, u"", u"", 4},
        {"skin name cut short", concat({le32(0), le32(1), le32(0), le32(9), units(u"Bl")}), 0, 1, u"", u"default", 0},
        {"time format missing", Bytes(full.begin(), full.end() - 4), 1, 0, u"pw", u"Blue", 0},
        {"whole record", full, 1, 0, u"pw", u"Blue", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Settings s = readBack(c.bytes);
        EXPECT_EQ(s.usePassword, c.usePassword);
        EXPECT_EQ(s.autoKeyboard, c.autoKeyboard);
        EXPECT_EQ(s.password, c.password);
        EXPECT_EQ(s.skinName, c.skinName);
        EXPECT_EQ(s.timeFormat, c.timeFormat);
    }
}

TEST(ConfigFile, MissingFileDoesNotOpen)
{
    ConfigFile file;
    EXPECT_FALSE(file.open(tempPath("no-such-config.dat")));
}

TEST(ConfigFile, FailedWriteLeavesTheOldFile)
{
    const auto path = tempPath("keep.dat");
    Settings s;
    ASSERT_TRUE(writeConfig(path, s));
    const auto before = readFile(path);
    EXPECT_FALSE(writeConfig(tempPath("missing-folder/config.dat"), s));
    EXPECT_EQ(readFile(path), before);
}
