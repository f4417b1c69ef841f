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
};

enum class ExportFormat { Markdown, Html };

// The format a file name asks for by its ending (".md" or ".html", any case).
std::optional<ExportFormat> exportFormatOf(const std::u16string& fileName);

// The word for the shipped skins' weather pictures; a mark outside them reads as the first.
std::u16string weatherWord(std::int32_t weather);

// The days, in the order given, as UTF-8 text.
std::string exportMarkdown(const std::vector<DatedPageText>& days);
std::string exportHtml(const std::vector<DatedPageText>& days);

struct ExportSummary {
    enum class Outcome { Written, FolderUnreadable, InsideDataFolder, WriteFailed };
    Outcome outcome = Outcome::Written;
    int days = 0;
    std::vector<std::u16string> unreadable; // skipped pages
};

// Writes every page, oldest first, to file atomically. The pages' own folder is never written:
// a file inside it is refused.
ExportSummary exportDiary(const PageStore& pages, const std::u16string& file, ExportFormat format);

} // namespace pagelet
