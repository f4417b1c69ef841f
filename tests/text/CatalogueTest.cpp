#include "base/Text.h"
#include "text/Catalogue.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

using namespace pagelet;

namespace {

// Restores the plain sources whatever a test leaves installed.
struct LookupGuard {
    explicit LookupGuard(TextLookup lookup) { setTextLookup(lookup); }
    ~LookupGuard() { setTextLookup(nullptr); }
};

TEST(Catalogue, EveryEntryHasItsOwnNameAndGivesItsSource)
{
    std::set<std::string> names;
    std::set<std::string> texts;
    for (const auto& entry : catalogue()) {
        SCOPED_TRACE(entry.name);
        EXPECT_FALSE(std::string(entry.name).empty());
        EXPECT_TRUE(names.insert(entry.name).second) << "name used twice";
        EXPECT_FALSE(std::string(entry.context).empty());
        // Each text once: two names for the same words in one context would be translated twice.
        EXPECT_TRUE(texts.insert(std::string(entry.context) + '\x04' + entry.source).second) << "text kept twice";
        const std::u16string shown = textOf(entry.id);
        EXPECT_FALSE(shown.empty());
        EXPECT_EQ(toUtf8(shown), entry.source);
    }
    EXPECT_EQ(names.size(), static_cast<std::size_t>(TextId::Count));
}

TEST(Catalogue, InstalledLookupGetsContextAndSourceOfEveryCaller)
{
    const LookupGuard guard([](const char* context, const char* source) {
        return fromUtf8(std::string("[") + context + "|" + source + "]");
    });
    EXPECT_EQ(textOf(TextId::Quitting), fromUtf8("[MainDialog|프로그램을 종료합니다.]"));
    // Callers that compose texts go through the lookup for every piece.
    EXPECT_EQ(dataFolderProblem(TextId::PageNotSaved),
              fromUtf8("[ShownDay|일기를 저장할 수 없습니다.]\n[ShownDay|데이터 폴더를 확인하시기 바랍니다.]"));
    EXPECT_EQ(weekdayName(LocalDate{2026, 12, 7}), fromUtf8("[Weekday|월]"));
}

TEST(Catalogue, ArgumentFillsEveryPlaceholderOnce)
{
    struct Case {
        std::u16string pattern, argument, expected;
    } cases[] = {
        {u"\"%1\" 없음", u"봄", u"\"봄\" 없음"},
        {u"%1 and %1", u"x", u"x and x"},
        // A word that looks like a placeholder is shown as typed.
        {u"[%1]", u"%1%1", u"[%1%1]"},
        {u"no place", u"x", u"no place"},
        {u"%2 %", u"x", u"%2 %"},
        {u"%1", u"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withArgument(c.pattern, c.argument), c.expected) << toUtf8(c.pattern);
}

} // namespace
