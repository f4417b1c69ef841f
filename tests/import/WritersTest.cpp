#include "base/ArchiveCalls.h"
#include "import/ImportRig.h"

#include <fcntl.h>
#include <unistd.h>

namespace pagelet {

using namespace importtest;

namespace {

// A zip of the members, stored as the zip library writes them.
std::string zipOf(const std::vector<std::pair<std::string, std::string>>& members)
{
    TempFolder temp("import-zip");
    const std::string path = (temp.root / "z.zip").string();
    const ArchiveCalls& calls = libarchive();
    archive* zip = calls.write_new();
    calls.write_set_format_zip(zip);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    calls.write_open_fd(zip, fd);
    for (const auto& [name, bytes] : members) {
        archive_entry* entry = calls.entry_new();
        calls.entry_set_pathname(entry, name.c_str());
        calls.entry_set_filetype(entry, AE_IFREG);
        calls.entry_set_perm(entry, 0644);
        calls.entry_set_size(entry, static_cast<la_int64_t>(bytes.size()));
        calls.write_header(zip, entry);
        calls.write_data(zip, bytes.data(), bytes.size());
        calls.entry_free(entry);
    }
    calls.write_close(zip);
    calls.write_free(zip);
    ::close(fd);
    const Bytes bytes = testing::bytesOf(temp.root / "z.zip");
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

// An entry is left out only when the same entry stands on its day: its time line and its whole
// body, apart from the other entries and the page's own text; a part of a line or of an entry
// is no such entry.
TEST(Import, SkipsOnlyTheSameEntryAlreadyOnItsDay)
{
    struct Case {
        const char* what;
        std::u16string page; // the day's page before
        std::string file;    // the source, under a name that says its kind
        std::string text;
        int entries, skipped;
    };
    const std::u16string marker = u"내 일기\r\n──── 가져온 내용 ────\r\n";
    const std::vector<Case> cases = {
        {"a word inside a word", u"book club", "2024-03-01.md", "ok\n", 1, 0},
        {"a line inside an entry", marker + u"[09:00] Walk\r\nok\r\nmore", "2024-03-01.md", "ok", 1, 0},
        {"a longer time line", u"[10:00] Run 5 km", "j.txt", "[2024-03-01 10:00] Run\n", 1, 0},
        {"the start of an entry", marker + u"[10:00] Run\r\nfar\r\nfast", "j.txt", "[2024-03-01 10:00] Run\nfar\n", 1, 0},
        {"after the marker", marker + u"[10:00] Run\r\nfar", "j.txt", "[2024-03-01 10:00] Run\nfar\n", 0, 1},
        {"between entries, LF breaks", u"[08:00] A\n\n[10:00] Run\nfar\n\n[11:00] B", "j.txt",
         "[2024-03-01 10:00] Run\r\nfar\r\n[2024-03-01 12:00] New\n", 1, 1},
        {"before the marker", u"[10:00] Run\r\nfar\r\n──── 가져온 내용 ────\r\nok", "j.txt", "[2024-03-01 10:00] Run\nfar\n", 0, 1},
        {"the whole page, a blank line after", u"[10:00] Run\r\nfar\r\n  \r\n", "j.txt", "[2024-03-01 10:00] Run\nfar\n", 0, 1},
        {"twice in the source", u"", "j.txt", "[2024-03-01 10:00] Run\n[2024-03-01 10:00] Run\n", 1, 1},
    };
    for (const auto& c : cases) {
        Import in;
        if (!c.page.empty())
            ASSERT_EQ(in.store.write({2024, 3, 1}, {0, c.page}), StoreResult::Written);
        write(in.source.root / c.file, c.text);
        ASSERT_EQ(in.run(c.file), "") << c.what;
        EXPECT_EQ(in.last.entries, c.entries) << c.what;
        EXPECT_EQ(in.last.skipped, c.skipped) << c.what;
        // Whatever was added is there to be skipped the next time.
        ASSERT_EQ(in.run(c.file), "") << c.what;
        EXPECT_EQ(in.last.entries, 0) << c.what;
    }
}

// What older versions and other writers leave in their files: tags on YAML texts, byte order
// marks, backups zipped, Markdown escapes, attachments named without their extension, front
// matter, bytes that are no UTF-8.
TEST(Import, ReadsWhatEachWriterLeavesInItsFiles)
{
    const std::string journal = R"({"entries": [{"creationDate": "2024-03-01T10:00:00Z", "text": "1\\. Buy \\(two\\) \\- eggs\\!\n\\\\n 한\\글 \\",
        "audios": [{"md5": "a2c3"}], "pdfAttachments": [{"md5": "ff01", "type": "pdf"}],
        "photos": [{"md5": "ab", "type": "jpeg"}, {"md5": "cd", "type": "jpeg"}]}]})";
    const std::string month = "1:\n  !!python/unicode 'text': !!python/unicode 'old words'\n"
                              "  Tags: {!!python/unicode 'trip': null}\n2:\n  text: !!python/str |\n    block\n";
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;
        std::string source;
        std::vector<std::pair<LocalDate, std::u16string>> pages;
    };
    const std::vector<Case> cases = {
        {"month files, one with tags", {{"m/2024-01.txt", "5: {text: jan}\n"}, {"m/2024-03.txt", month},
                                        {"m/2024-04.txt", "\xEF\xBB\xBF" "7: {text: apr}\n"}}, "m",
         {{{2024, 1, 5}, u"jan"}, {{2024, 3, 1}, u"old words\r\n#trip"}, {{2024, 3, 2}, u"block"}, {{2024, 4, 7}, u"apr"}}},
        {"month files zipped", {{"backup.zip", zipOf({{"2024-03.txt", month}, {"x/2024-05.txt", "9: {text: may}\n"},
                                                       {"notes.txt", "not a month"}})}}, "backup.zip",
         {{{2024, 3, 1}, u"old words\r\n#trip"}, {{2024, 3, 2}, u"block"}, {{2024, 5, 9}, u"may"}}},
        {"the photo journal's export", {{"e.zip", zipOf({{"Journal.json", journal}, {"audios/a2c3.m4a", "a"},
                                                         {"pdfs/ff01.pdf", "p"}, {"photos/abc.jpeg", "x"},
                                                         {"photos/ab.png", "y"}})}}, "e.zip",
         {{{2024, 3, 1}, u"[10:00] 1. Buy (two) - eggs!\r\n\\n 한\\글 \\\r\n"
                         u"첨부: photos/ab.png\r\n첨부: photos/cd.jpeg\r\n첨부: audios/a2c3.m4a\r\n첨부: pdfs/ff01.pdf"}}},
        {"plain journal with a mark", {{"j.txt", "\xEF\xBB\xBF[2024-03-01 10:00] Marked\n"}}, "j.txt",
         {{{2024, 3, 1}, u"[10:00] Marked"}}},
        {"JSON journal with a mark and a stray byte",
         {{"j.json", "\xEF\xBB\xBF{\"entries\": [{\"date\": \"2024-03-01\", \"title\": \"a\xff" "b\"}]}"}}, "j.json",
         {{{2024, 3, 1}, u"a\uFFFDb"}}},
        {"daily notes", {{"n/2024-03-01.md", "\xEF\xBB\xBF---\ntitle: x\ntags: [daily, \"long walk\"]\n---\n\n# Fri\n"},
                         {"n/2024-03-02.md", "---\r\ntags: work, home  #late\r\n...\r\nbody\r\n"},
                         {"n/2024-03-03.md", "---\naliases: []\ntags:\n  - one\n  - 'two'\nnext: 1\n---\nbody"},
                         {"n/2024-03-04.md", "---\nnot closed\n"},
                         {"n/2024-03-05.md", "a\xed\xa0\x80z \xc0\xafx \xf4\x90\x80\x80y \xf0\x9f\x98\x80"}},
         "n",
         {{{2024, 3, 1}, u"# Fri\r\n#daily #long_walk"}, {{2024, 3, 2}, u"body\r\n#work #home #late"},
          {{2024, 3, 3}, u"body\r\n#one #two"}, {{2024, 3, 4}, u"---\r\nnot closed"},
          {{2024, 3, 5}, u"a\uFFFD\uFFFD\uFFFDz \uFFFD\uFFFDx \uFFFD\uFFFD\uFFFD\uFFFDy \U0001F600"}}},
    };
    for (const auto& c : cases) {
        Import in;
        for (const auto& [name, bytes] : c.files)
            write(in.source.root / name, bytes);
        EXPECT_EQ(in.run(c.source), "") << c.what;
        EXPECT_EQ(in.store.listDays()->size(), c.pages.size()) << c.what;
        // Compared in UTF-16, where a lone surrogate shows.
        for (const auto& [date, text] : c.pages)
            EXPECT_EQ(in.page(date), text) << c.what << " " << date.day;
    }
}

} // namespace pagelet
