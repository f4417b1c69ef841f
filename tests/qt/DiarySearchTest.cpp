#include "base/FileIo.h"
#include "base/Text.h"
#include "diary/DiarySearch.h"
#include "qt/ports/QtCaseFolding.h"
#include "store/PlainPageStore.h"
#include "RunPagelet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace pagelet {

namespace {

struct Folder {
    Folder() { EXPECT_TRUE(dir.isValid()); }
    std::u16string path() const { return dir.path().toStdU16String() + u"/"; }
    void page(const char* key, const std::u16string& text, int weather = 0)
    {
        writeFileAtomic(path() + fromAscii(key) + u".dry", encodePage({weather, text}));
    }
    void raw(const char* name, Bytes bytes) { writeFileAtomic(path() + fromAscii(name), bytes); }

    QTemporaryDir dir;
};

// Pages over three years, a damaged one cut inside its text, and one that is no page.
void fill(Folder& f)
{
    f.page("20241231", u"한 해의 끝\r\n사과를 먹었다 Apple");
    f.page("20250615", u"apple\r\n\r\n마지막 줄에 일기");
    f.page("20261207", u"첫 줄\r\nAPPLE pie 일기");
    Bytes cut = encodePage({1, u"잘린 일기 apple 뒤는 없다"});
    cut.resize(8 + 2 * 11 + 1); // cut inside its twelfth unit
    f.raw("20260301.dry", cut);
    f.raw("20260302.dry", {1, 2, 3});
    f.raw("notes.txt", {'a', 'p', 'p', 'l', 'e'});
    f.raw("2026123.dry", {});
}

std::string lines(const std::vector<SearchHit>& hits)
{
    std::u16string out;
    for (const auto& h : hits)
        out += fromAscii(std::to_string(h.date.year * 10000 + h.date.month * 100 + h.date.day)) + u" " +
               h.line.substr(0, h.matchStart) + u"[" + h.line.substr(h.matchStart, h.matchLength) + u"]" +
               h.line.substr(h.matchStart + h.matchLength) + u"\n";
    return toUtf8(out);
}

} // namespace

TEST(DiarySearch, EveryYearInDateOrderWithTheFirstMatchingLine)
{
    Folder f;
    fill(f);
    const QtCaseFolding folding;
    DiarySearch search(folding);
    const struct {
        std::u16string word;
        bool matchCase;
        SearchOrder order;
        const char* expected;
        int matched;
    } cases[] = {
        {u"apple", false, SearchOrder::OldestFirst,
         "20241231 사과를 먹었다 [Apple]\n20250615 [apple]\n20260301 잘린 일기 [apple]\n20261207 [APPLE] pie 일기\n", 4},
        {u"Apple", true, SearchOrder::OldestFirst, "20241231 사과를 먹었다 [Apple]\n", 1},
        {u"일기", false, SearchOrder::NewestFirst, "20261207 APPLE pie [일기]\n20260301 잘린 [일기] apple\n20250615 마지막 줄에 [일기]\n", 3},
        {u"뒤는", false, SearchOrder::OldestFirst, "", 0}, // past the damaged page's end
        {u"", false, SearchOrder::OldestFirst, "", 0},
    };
    for (const auto& c : cases) {
        std::vector<SearchHit> hits;
        const auto summary = search.searchFolder(PlainPageStore(f.path()), {c.word, c.matchCase, c.order},
                                                 [&hits](const SearchHit& h) { hits.push_back(h); });
        EXPECT_EQ(lines(hits), c.expected) << toUtf8(c.word);
        EXPECT_EQ(summary.matchedDays, c.matched);
        ASSERT_TRUE(summary.folderRead);
        ASSERT_EQ(summary.unreadable.size(), 1u);
        EXPECT_TRUE(summary.unreadable[0].ends_with(u"20260302.dry"));
    }
}

// The vector loops against the plain definition: the port's folding, then a unit search.
TEST(DiarySearch, FindAgreesWithFoldingThenFindingAtEveryPlace)
{
    const QtCaseFolding folding;
    DiarySearch search(folding);
    const std::u16string alphabet = u"aAzZ가힣ΣσЖжkK\u212A\r\n @[\u00C0\u00E0";
    std::uint32_t seed = 7;
    auto next = [&seed] { return (seed = seed * 1103515245 + 12345) >> 16; };
    for (int round = 0; round < 300; ++round) {
        std::u16string text(next() % 70, u' ');
        for (auto& c : text)
            c = alphabet[next() % alphabet.size()];
        std::u16string word = text.substr(text.empty() ? 0 : next() % text.size(), 1 + next() % 3);
        if (word.empty() || next() % 4 == 0)
            word = alphabet.substr(next() % alphabet.size(), 1);
        for (bool matchCase : {false, true}) {
            const auto t = matchCase ? text : folding.toLower(text);
            const auto w = matchCase ? word : folding.toLower(word);
            const auto at = t.find(w);
            const auto found = search.find(text, word, matchCase);
            EXPECT_EQ(found, at == std::u16string::npos ? std::nullopt : std::optional(at)) << toUtf8(text) << " / " << toUtf8(word);
        }
    }
}

// Enough days for the pages to be read on two threads: what is handed on comes in the days'
// order, and a stop hands on a beginning of it, never a later block before an earlier one.
TEST(DiarySearch, ManyDaysComeInOrderWhoeverReadsThem)
{
    Folder f;
    std::vector<std::string> hitDays, unreadableDays;
    LocalDate d {2020, 1, 1};
    for (int i = 0; i < 400; ++i, d = nextDate(d)) {
        char key[9];
        std::snprintf(key, sizeof key, "%04d%02d%02d", d.year, d.month, d.day);
        if (i % 7 == 3) {
            f.raw((std::string(key) + ".dry").c_str(), {1, 2, 3});
            unreadableDays.push_back(key);
        } else {
            // Long pages in the second block: the thread reading it falls behind the other.
            f.page(key, std::u16string(i / 32 == 1 ? 100000 : i % 50, u'x') + u"\r\n" + (i % 3 ? u"nothing" : u"a Zebra"));
            if (i % 3 == 0)
                hitDays.push_back(key);
        }
    }
    const QtCaseFolding folding;
    DiarySearch search(folding);
    const PlainPageStore pages(f.path());
    for (const SearchOrder order : {SearchOrder::OldestFirst, SearchOrder::NewestFirst})
        for (const int stopAfter : {-1, 0, 10, 50}) { // hits handed on before the stop
            std::vector<std::string> hits, expected = hitDays, unreadable, expectedUnreadable = unreadableDays;
            if (order == SearchOrder::NewestFirst) {
                std::reverse(expected.begin(), expected.end());
                std::reverse(expectedUnreadable.begin(), expectedUnreadable.end());
            }
            const auto summary = search.searchFolder(
                pages, {u"zebra", false, order},
                [&](const SearchHit& h) {
                    EXPECT_EQ(h.line, u"a Zebra");
                    hits.push_back(std::to_string(h.date.year * 10000 + h.date.month * 100 + h.date.day));
                },
                [&] { return stopAfter >= 0 && static_cast<int>(hits.size()) >= stopAfter; });
            for (const auto& path : summary.unreadable)
                unreadable.push_back(toUtf8(path.substr(path.size() - 12, 8)));
            EXPECT_EQ(summary.matchedDays, static_cast<int>(hits.size()));
            if (stopAfter <= 0) {
                EXPECT_EQ(summary.stopped, stopAfter == 0);
            }
            if (!summary.stopped) { // the last hits may all come at once, with nothing left to stop
                EXPECT_EQ(hits, expected);
                EXPECT_EQ(unreadable, expectedUnreadable);
            } else {
                ASSERT_LE(hits.size(), expected.size());
                ASSERT_LE(unreadable.size(), expectedUnreadable.size());
                EXPECT_TRUE(std::equal(hits.begin(), hits.end(), expected.begin())) << stopAfter;
                EXPECT_TRUE(std::equal(unreadable.begin(), unreadable.end(), expectedUnreadable.begin())) << stopAfter;
            }
        }
}

TEST(DiarySearch, EmptyMissingAndStoppedFolders)
{
    Folder f;
    const QtCaseFolding folding;
    DiarySearch search(folding);
    auto none = [](const SearchHit&) { FAIL(); };
    auto empty = search.searchFolder(PlainPageStore(f.path()), {u"a"}, none);
    EXPECT_TRUE(empty.folderRead);
    EXPECT_FALSE(search.searchFolder(PlainPageStore(f.path() + u"missing/"), {u"a"}, none).folderRead);
    fill(f);
    auto stopped = search.searchFolder(PlainPageStore(f.path()), {u"apple"}, none, [] { return true; });
    EXPECT_TRUE(stopped.stopped);
}

TEST(DiarySearch, CommandLineStatusesAndOutput)
{
    Folder f;
    fill(f);
    QTemporaryDir empty;
    const QString data = f.dir.path();
    Folder controls; // a hit is one line of output, whatever the page holds
    controls.page("20270101", std::u16string(u"벨\a 널\0 탭\t끝 \x1b[31m \x85", 17));
    // Named like pages but no regular files: never followed, never waited on.
    Folder others;
    others.page("20270101", u"apple 여기");
    controls.page("20270102", u"apple 링크 너머");
    QFile::link(controls.dir.path() + "/20270102.dry", others.dir.path() + "/20270102.dry");
    ::mkfifo((others.dir.path() + "/20270103.dry").toUtf8().constData(), 0600);
    const struct {
        QStringList args;
        int status;
        const char* out;
        const char* err;
    } cases[] = {
        {{"--search", "apple", "--data", data}, 0,
         "2024-12-31: 사과를 먹었다 Apple\n2025-06-15: apple\n2026-03-01: 잘린 일기 apple\n2026-12-07: APPLE pie 일기\n",
         "20260302.dry, skipped"},
        {{"--search", "Apple", "--match-case", "--data", data}, 0, "2024-12-31: 사과를 먹었다 Apple\n", ""},
        {{"--search", "없는말", "--data", data}, 1, "", ""},
        {{"--search", "끝", "--data", controls.dir.path()}, 0, "2027-01-01: 벨\uFFFD 널\uFFFD 탭\t끝 \uFFFD[31m \uFFFD\n", ""},
        {{"--search", "a", "--data", empty.path()}, 1, "", ""},
        {{"--search", "a", "--data", data + "/missing"}, 2, "", "cannot read the data folder"},
        {{"--search", "", "--data", data}, 2, "", "not empty"},
        {{"--export", empty.path() + "/x.txt", "--data", data}, 2, "", "must end in .md"},
        {{"--export", data + "/x.md", "--data", data}, 2, "", "will not write into the data folder"},
        {{"--export", empty.path() + "/none/x.md", "--data", data}, 2, "", "cannot write"},
        {{"--export", empty.path() + "/x.html", "--data", data}, 0, "wrote 4 days to", "20260302.dry, skipped"},
        {{"--search", "apple", "--data", others.dir.path()}, 0, "2027-01-01: apple 여기\n", "20270102.dry, skipped"},
        {{"--export", empty.path() + "/o.md", "--data", others.dir.path()}, 0, "wrote 1 day to", "20270103.dry, skipped"},
    };
    for (const auto& c : cases) {
        const qttest::Outcome r = qttest::runPagelet(c.args);
        const std::string what = c.args.join(' ').toStdString();
        ASSERT_NE(r.status, -1) << what << ": did not finish";
        const QString& out = r.out;
        const QString& err = r.err;
        EXPECT_EQ(r.status, c.status) << what << "\n" << err.toStdString();
        if (c.status == 0 && c.args[0] == "--export")
            EXPECT_TRUE(out.toStdString().starts_with(c.out)) << what << ": " << out.toStdString();
        else
            EXPECT_EQ(out.toStdString(), c.out) << what;
        EXPECT_TRUE(err.contains(c.err)) << what << ": " << err.toStdString();
    }
    // Nothing was written beside the pages.
    EXPECT_EQ(QDir(data).entryList(QDir::Files).size(), 7);
}

} // namespace pagelet
