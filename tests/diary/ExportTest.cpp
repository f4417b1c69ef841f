#include "base/FileIo.h"
#include "base/IoFault.h"
#include "base/Text.h"
#include "diary/DiaryExport.h"
#include "store/PlainPageStore.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace pagelet {

namespace {

const std::vector<DatedPageText> kDays = {
    {{2024, 12, 31}, {1, u"첫 줄\r\n둘째 줄\r\n\r\n새 문단"}},
    {{2026, 12, 7}, {9, u"# 제목 아님\r\n<b>굵게</b> & *별* _밑_\r\n- 목록 아님\r\n1. 번호 아님\r\n    들여쓰기\\\r\n"}},
    {{2026, 12, 8}, {4, u"lone\rCR\nLF\x01"}},
};

} // namespace

TEST(Export, MarkdownByteForByte)
{
    EXPECT_EQ(exportMarkdown(kDays),
              "## 2024-12-31 (화)\n\n날씨: 구름 조금\n\n"
              "첫 줄\\\n둘째 줄\n\n새 문단\n"
              "\n## 2026-12-07 (월)\n\n날씨: 맑음\n\n"
              "\\# 제목 아님\\\n\\<b\\>굵게\\</b\\> \\& \\*별\\* \\_밑\\_\\\n\\- 목록 아님\\\n1\\. 번호 아님\\\n"
              "&#32;&#32;&#32;&#32;들여쓰기\\\\\n\n"
              "\n## 2026-12-08 (화)\n\n날씨: 눈\n\n"
              "lone\\\nCR\\\nLF\xEF\xBF\xBD\n");
    EXPECT_EQ(exportMarkdown({}), "");
}

TEST(Export, HtmlEscapesAndKeepsLines)
{
    const std::string html = exportHtml(kDays);
    for (const char* part : {
             "<!DOCTYPE html>", "<meta charset=\"utf-8\">",
             "<h2 id=\"2024-12-31\">2024-12-31 (화)</h2>\n<p class=\"weather\">날씨: 구름 조금</p>",
             "<div class=\"text\">첫 줄\n둘째 줄\n\n새 문단</div>",
             "<h2 id=\"2026-12-07\">2026-12-07 (월)</h2>\n<p class=\"weather\">날씨: 맑음</p>",
             "# 제목 아님\n&lt;b&gt;굵게&lt;/b&gt; &amp; *별* _밑_\n",
             "lone\nCR\nLF\xEF\xBF\xBD</div>",
         })
        EXPECT_NE(html.find(part), std::string::npos) << part;
    EXPECT_EQ(html.find("<b>"), std::string::npos);
    EXPECT_EQ(html.find('\r'), std::string::npos);
    EXPECT_TRUE(html.ends_with("</body>\n</html>\n"));
}

// Pages are converted a thousand units at a time: a pair or a CR LF across that edge stays whole.
TEST(Export, LongLinesKeepPairsAndBreaksWhole)
{
    const std::u16string a(1023, u'a');
    const std::string a8(1023, 'a');
    std::string stars;
    for (int i = 0; i < 2047; ++i)
        stars += "\\*";
    const struct {
        std::u16string text;
        std::string markdown, html;
    } cases[] = {
        {a + u"\U0001F600b", a8 + "\xF0\x9F\x98\x80" "b\n", a8 + "\xF0\x9F\x98\x80" "b"},
        {a + u"\r\nb", a8 + "\\\nb\n", a8 + "\nb"},
        {a + std::u16string(1, char16_t(0xD800)) + u"\r\n", a8 + "\xEF\xBF\xBD\n\n", a8 + "\xEF\xBF\xBD\n"},
        {std::u16string(2047, u'*') + u"\U0001F600", stars + "\xF0\x9F\x98\x80\n", std::string(2047, '*') + "\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        const std::vector<DatedPageText> day = {{{2026, 12, 8}, {0, c.text}}};
        EXPECT_TRUE(exportMarkdown(day).ends_with("맑음\n\n" + c.markdown));
        EXPECT_NE(exportHtml(day).find("<div class=\"text\">" + c.html + "</div>"), std::string::npos);
    }
}

TEST(Export, FormatFromTheNameAndWeatherWords)
{
    EXPECT_EQ(exportFormatOf(u"a.md"), ExportFormat::Markdown);
    EXPECT_EQ(exportFormatOf(u"/x/A.HTML"), ExportFormat::Html);
    for (const char16_t* bad : {u"a.htm", u"a.txt", u".md", u"md"})
        EXPECT_FALSE(exportFormatOf(bad)) << toUtf8(bad);
    EXPECT_EQ(weatherWord(3), u"비");
    EXPECT_EQ(weatherWord(-1), u"맑음");
    EXPECT_EQ(weatherWord(5), u"맑음");
}

TEST(Export, WritesTheFileAndLeavesTheFolderAlone)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("pagelet-export-" + std::to_string(::getpid()));
    fs::create_directories(root / "diary");
    const std::u16string data = fromUtf8((root / "diary").string()) + u"/";
    writeFileAtomic(data + u"20261207.dry", encodePage({2, u"오늘"}));
    writeFileAtomic(data + u"20261206.dry", {7});
    const std::u16string out = fromUtf8((root / "out.md").string());
    const auto summary = exportDiary(PlainPageStore(data), out, ExportFormat::Markdown);
    EXPECT_EQ(summary.outcome, ExportSummary::Outcome::Written);
    EXPECT_EQ(summary.days, 1);
    EXPECT_EQ(summary.unreadable.size(), 1u);
    const auto bytes = readFile(out);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "## 2026-12-07 (월)\n\n날씨: 흐림\n\n오늘\n");
    EXPECT_EQ(exportDiary(PlainPageStore(data), data + u"x.md", ExportFormat::Markdown).outcome,
              ExportSummary::Outcome::InsideDataFolder);
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "diary"), fs::directory_iterator()), 2);
    fs::remove_all(root);
}

// The export is written while the pages are read: a step that fails at any point leaves the
// file under its name as it was and no temporary file beside it.
TEST(Export, AFailedWriteLeavesTheOldFileAndNoTemporaryOne)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("pagelet-export-fault-" + std::to_string(::getpid()));
    fs::create_directories(root / "diary");
    const std::u16string data = fromUtf8((root / "diary").string()) + u"/";
    std::vector<DatedPageText> days;
    for (int d = 1; d <= 8; ++d) {
        std::u16string text;
        for (int i = 0; i < 3000; ++i)
            text += u"한 줄 *별*\r\n"; // about 45 KB a page: the buffer fills mid-character too
        days.push_back({{2026, 11, d}, {d % 5, text}});
        writeFileAtomic(data + fromAscii("202611" + std::string(d < 10 ? "0" : "") + std::to_string(d) + ".dry"),
                        encodePage(days.back().page));
    }
    const std::u16string out = fromUtf8((root / "out.md").string());
    const std::pair<IoStep, IoFault::Repeat> faults[] = {
        {IoStep::Open, IoFault::Repeat::Once},  {IoStep::Write, IoFault::Repeat::Once},
        {IoStep::Write, IoFault::Repeat::Always}, {IoStep::Sync, IoFault::Repeat::Once},
        {IoStep::Rename, IoFault::Repeat::Once},
    };
    for (const auto& [step, repeat] : faults) {
        SCOPED_TRACE(static_cast<int>(step));
        writeFileAtomic(out, {'o', 'l', 'd'});
        IoFault::arm(step, EIO, repeat);
        const auto summary = exportDiary(PlainPageStore(data), out, ExportFormat::Markdown);
        IoFault::disarmAll();
        EXPECT_EQ(summary.outcome, ExportSummary::Outcome::WriteFailed);
        EXPECT_EQ(readFile(out), (Bytes {'o', 'l', 'd'}));
        EXPECT_EQ(std::distance(fs::directory_iterator(root), fs::directory_iterator()), 2); // diary, out.md
    }
    EXPECT_EQ(exportDiary(PlainPageStore(data), out, ExportFormat::Markdown).outcome, ExportSummary::Outcome::Written);
    const auto bytes = readFile(out);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), exportMarkdown(days));
    fs::remove_all(root);
}

// The memo is copied beside the export and linked from the day that has it, in either format.
TEST(Export, CopiesEachMemoBesideTheFileAndLinksIt)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("pagelet-memos-" + std::to_string(::getpid()));
    fs::create_directories(root / "diary");
    const std::u16string data = fromUtf8((root / "diary").string()) + u"/";
    const Bytes memo {'R', 'I', 'F', 'F', 0, 1, 2, 3};
    writeFileAtomic(data + u"20261207.dry", encodePage({0, u"소리 있는 날"}));
    writeFileAtomic(data + u"20261207.wav", memo);
    writeFileAtomic(data + u"20261208.dry", encodePage({0, u"조용한 날"}));
    const struct {
        ExportFormat format;
        const char* name;
        const char* link; // what the memo's day carries
    } cases[] = {
        {ExportFormat::Markdown, "내 일기.md", "\n[음성 메모](%EB%82%B4%20%EC%9D%BC%EA%B8%B0_files/2026-12-07.wav)\n"},
        {ExportFormat::Html, "내 일기.html",
         "<audio controls preload=\"none\" src=\"%EB%82%B4%20%EC%9D%BC%EA%B8%B0_files/2026-12-07.wav\" "
         "title=\"음성 메모\"></audio>"},
    };
    for (const auto& c : cases) {
        const std::u16string out = fromUtf8((root / c.name).string());
        const auto summary = exportDiary(PlainPageStore(data), out, c.format);
        EXPECT_EQ(summary.outcome, ExportSummary::Outcome::Written);
        EXPECT_EQ(summary.days, 2);
        EXPECT_EQ(summary.memos, 1);
        EXPECT_EQ(readFile(fromUtf8((root / "내 일기_files" / "2026-12-07.wav").string())), memo);
        const auto bytes = readFile(out);
        ASSERT_TRUE(bytes);
        const std::string text(bytes->begin(), bytes->end());
        const auto link = text.find(c.link);
        EXPECT_NE(link, std::string::npos) << text;
        // Only the day with a memo links one, and before the next day's heading.
        EXPECT_LT(link, text.find("2026-12-08"));
        EXPECT_EQ(text.find("_files/", link + std::strlen(c.link)), std::string::npos) << text;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "내 일기_files"), fs::directory_iterator()), 1);
    EXPECT_EQ(memoFolderFor(u"/a.b/diary"), u"/a.b/diary_files/");
    fs::remove_all(root);
}

} // namespace pagelet
