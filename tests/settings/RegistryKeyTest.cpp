#include "fakes/Fakes.h"
#include "settings/RegistryKey.h"

#include <gtest/gtest.h>

using namespace pagelet;
using namespace pagelet::fakes;

TEST(RegistryKey, MissingValueIsStoredWithTheDefault)
{
    FakeRegistry registry;
    registry.values[u"Present"] = u"kept";
    registry.values[u"Cut"] = std::u16string(u"before\0after", 12);
    {
        RegistryKey key(registry, kRegistryKeyPath);
        EXPECT_EQ(key.readString(u"Absent", u"fallback"), u"fallback");
        EXPECT_EQ(key.readString(u"AbsentEmpty", u""), u"");
        EXPECT_EQ(key.readString(u"Present", u"fallback"), u"kept");
        EXPECT_EQ(key.readString(u"Cut", u""), u"before");
        EXPECT_EQ(key.readString(u"", u"x"), u"");
        EXPECT_FALSE(key.writeString(u"", u"x"));
        EXPECT_TRUE(key.writeString(u"Data Path", u"/d/"));
        EXPECT_EQ(registry.closeCount, 0);
    }
    EXPECT_EQ(registry.opened, std::vector<std::u16string> {kRegistryKeyPath});
    EXPECT_EQ(registry.closeCount, 1);
    const std::map<std::u16string, std::u16string> want = {{u"Absent", u"fallback"}, {u"AbsentEmpty", u""},
        {u"Present", u"kept"}, {u"Cut", std::u16string(u"before\0after", 12)}, {u"Data Path", u"/d/"}};
    EXPECT_EQ(registry.values, want);

    registry.failWrites = true;
    RegistryKey key(registry, kRegistryKeyPath);
    EXPECT_FALSE(key.writeString(u"Data Path", u"/e/"));
    EXPECT_EQ(key.readString(u"Other", u"d"), u"d"); // a failed store still answers the default
}
