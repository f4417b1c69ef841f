#include "base/FileIo.h"
#include "base/Text.h"
#include "settings/ConfigFile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>
#include <unistd.h>
#include <variant>

using namespace pagelet;

namespace {

// Little-endian 32-bit numbers and bare UTF-16 units, in order.
Bytes fields(std::initializer_list<std::variant<std::int32_t, std::u16string>> parts)
{
    ByteWriter w;
    for (const auto& part : parts) {
        if (const auto* n = std::get_if<std::int32_t>(&part))
            w.putInt32(*n);
        else
            w.putUnits(std::get<std::u16string>(part));
    }
    return w.bytes();
}

using Stored = std::tuple<std::int32_t, std::int32_t, std::u16string, std::u16string, std::int32_t>;

// Reads a record from a file the way the start-up does, over the presets.
Stored readBack(const Bytes& bytes)
{
    const auto path = fromUtf8((std::filesystem::temp_directory_path() / ("pagelet-config-" + std::to_string(::getpid()) + ".dat")).string());
    EXPECT_TRUE(writeFileAtomic(path, bytes));
    ConfigFile file;
    EXPECT_TRUE(file.open(path));
    removeFile(path);
    Settings s;
    file.readFirst(s);
    file.readRest(s);
    return {s.usePassword, s.autoKeyboard, s.password, s.skinName, s.timeFormat};
}

} // namespace

TEST(ConfigFile, RecordIsByteExact)
{
    Settings s;
    s.usePassword = 1;
    s.autoKeyboard = 0;
    s.password = u"abcd";
    s.timeFormat = 2;
    EXPECT_EQ(encodeConfig(s), fields({1, 0, 4, u"abcd", 7, u"default", 2})); // 42 bytes
    s = {};
    s.skinName.clear();
    EXPECT_EQ(encodeConfig(s), fields({0, 1, 0, 0, 0})); // 20 bytes
}

TEST(ConfigFile, DamagedFilesKeepThePresetsOfWhatIsMissing)
{
    Settings korean;
    korean.usePassword = 1;
    korean.autoKeyboard = 0;
    korean.password = u"비밀번호";
    korean.skinName = u"Wood";
    korean.timeFormat = -1;
    const std::vector<std::tuple<const char*, Bytes, Stored>> cases = {
        {"empty file", {}, {0, 1, u"", u"default", 0}},
        {"only the flags", fields({1, 0}), {1, 0, u"", u"default", 0}},
        {"password length past the end", fields({1, 0, 0x7FFFFFFF, u"pw"}), {1, 0, u"", u"default", 0}},
        {"negative and zero lengths", fields({1, 0, -5, 0, 3}), {1, 0, u"", u"", 3}},
        {"skin name cut short", fields({0, 1, 0, 9, u"Bl"}), {0, 1, u"", u"default", 0}},
        {"time format missing", fields({1, 0, 2, u"pw", 4, u"Blue"}), {1, 0, u"pw", u"Blue", 0}},
        {"whole record", encodeConfig(korean), {1, 0, u"비밀번호", u"Wood", -1}},
    };
    for (const auto& [name, bytes, want] : cases)
        EXPECT_EQ(readBack(bytes), want) << name;
}

// A file as written reads back and writes again to the same bytes, and the password prompt
// comes between the same fields.
TEST(ConfigFile, FixedFilesRoundTripByteForByte)
{
    const struct {
        const char* name;
        Bytes bytes;
        Stored afterFirst;
    } cases[] = {
        {"presets", fields({0, 1, 0, 7, u"default", 0}), {0, 1, u"", u"default", 0}},
        {"password and skin", fields({1, 0, 4, u"abcd", 4, u"Wood", 2}), {1, 0, u"abcd", u"default", 0}},
        {"Korean password, no skin", fields({1, 1, 4, u"비밀번호", 0, -1}), {1, 1, u"비밀번호", u"default", 0}},
        {"wide numbers", fields({-1, 0x7FFFFFFF, 0, 1, u"x", INT32_MIN}), {-1, 0x7FFFFFFF, u"", u"default", 0}},
    };
    for (const auto& c : cases) {
        const auto path = fromUtf8((std::filesystem::temp_directory_path() / ("pagelet-config-" + std::to_string(::getpid()) + ".dat")).string());
        ASSERT_TRUE(writeFileAtomic(path, c.bytes));
        ConfigFile file;
        ASSERT_TRUE(file.open(path));
        removeFile(path);
        Settings s;
        file.readFirst(s);
        EXPECT_EQ(Stored(s.usePassword, s.autoKeyboard, s.password, s.skinName, s.timeFormat), c.afterFirst) << c.name;
        file.readRest(s);
        EXPECT_EQ(encodeConfig(s), c.bytes) << c.name;
    }
}
