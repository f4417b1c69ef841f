#pragma once
#include "base/Day.h"
#include "store/PageFormat.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pagelet {

class PageStore;

struct DatedPageText {
    LocalDate date;
    Page page;
    std::u16string memo = {}; // the memo copy's link relative to the exported file; empty: none
};

enum class ExportFormat { Markdown, Html };

// The format a file name asks for by its ending (".md" or ".html", any case).
std::optional<ExportFormat> exportFormatOf(const std::u16string& fileName);

// The word for the shipped skins' weather pictures; a mark outside them reads as the first.
std::u16string weatherWord(std::int32_t weather);

// The days, in the order given, as UTF-8 text.
std::string exportMarkdown(const std::vector<DatedPageText>& days);
std::string exportHtml(const std::vector<DatedPageText>& days);

// The folder beside the file that holds the memos' copies: "diary.html" -> "diary_files/".
std::u16string memoFolderFor(const std::u16string& file);

struct ExportSummary {
    enum class Outcome { Written, FolderUnreadable, InsideDataFolder, WriteFailed };
    Outcome outcome = Outcome::Written;
    int days = 0;
    int memos = 0;                              // copied beside the file
    std::vector<std::u16string> memosNotCopied; // memos that could not be read
    std::vector<std::u16string> unreadable; // skipped pages
};

// Writes every page, oldest first, to file atomically: the text goes out through a buffer of a
// fixed size as the pages are read, into a temporary file renamed over file only once all of
// it is written and synced. Each day's memo is copied into memoFolderFor(file) as
// "YYYY-MM-DD.wav", which both formats link to. The pages' own folder is never written: a
// file inside it is refused.
ExportSummary exportDiary(const PageStore& pages, const std::u16string& file, ExportFormat format);

} // namespace pagelet
