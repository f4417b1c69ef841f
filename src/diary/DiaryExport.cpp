#include "diary/DiaryExport.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "diary/PageFolder.h"
#include "store/PageStore.h"
#include "text/Catalogue.h"


namespace pagelet {

namespace {

std::u16string dayHeading(const LocalDate& date)
{
    return isoDate(date) + u" (" + weekdayName(date) + u")";
}

// Lines split at CR LF, and at a lone CR or LF too: both break the line in the editor.
std::vector<std::u16string> splitLines(const std::u16string& text)
{
    std::vector<std::u16string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            lines.emplace_back();
        } else {
            // Control characters have no place in either format.
            lines.back() += c < 0x20 && c != u'\t' ? u'\uFFFD' : c;
        }
    }
    return lines;
}

bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isInlineMark(char16_t c)
{
    switch (c) {
    case u'\\': case u'`': case u'*': case u'_': case u'[': case u']': case u'<': case u'>': case u'&': case u'|': case u'~':
        return true;
    default:
        return false;
    }
}

// Only what could start a block or an inline mark is escaped, so the text stays readable.
std::u16string markdownLine(const std::u16string& line)
{
    std::u16string out;
    std::size_t i = 0;
    for (; i < line.size() && (line[i] == u' ' || line[i] == u'\t'); ++i)
        out += line[i] == u' ' ? u"&#32;" : u"&#9;"; // indentation would make a code block
    const std::size_t first = i;
    std::size_t digitsEnd = first;
    while (digitsEnd < line.size() && isAsciiDigit(line[digitsEnd]))
        ++digitsEnd;
    for (; i < line.size(); ++i) {
        const char16_t c = line[i];
        bool escape = isInlineMark(c);
        if (i == first)
            escape = escape || c == u'#' || c == u'+' || c == u'-' || c == u'=';
        if (i == digitsEnd && digitsEnd > first && (c == u'.' || c == u')'))
            escape = true; // "1." would start a numbered list
        if (escape)
            out += u'\\';
        out += c;
    }
    return out;
}

std::u16string htmlText(const std::u16string& text)
{
    std::u16string out;
    for (char16_t c : text) {
        switch (c) {
        case u'&': out += u"&amp;"; break;
        case u'<': out += u"&lt;"; break;
        case u'>': out += u"&gt;"; break;
        case u'"': out += u"&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

std::optional<ExportFormat> exportFormatOf(const std::u16string& fileName)
{
    const std::u16string lower = toLowerAscii(fileName);
    if (lower.ends_with(u".md") && lower.size() > 3)
        return ExportFormat::Markdown;
    if (lower.ends_with(u".html") && lower.size() > 5)
        return ExportFormat::Html;
    return std::nullopt;
}

std::u16string weatherWord(std::int32_t weather)
{
    return textOf(TextId::Clear, weather >= 0 && weather <= 4 ? weather : 0);
}

std::string exportMarkdown(const std::vector<DatedPageText>& days)
{
    std::u16string out;
    for (const auto& day : days) {
        if (!out.empty())
            out += u"\n";
        out += u"## " + dayHeading(day.date) + u"\n\n" + withArgument(textOf(TextId::WeatherLine), weatherWord(day.page.weather)) + u"\n\n";
        const auto lines = splitLines(day.page.text);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            out += markdownLine(lines[i]);
            // A backslash at the end keeps the break; an empty line stays a paragraph break.
            const bool hardBreak = i + 1 < lines.size() && !lines[i].empty() && !lines[i + 1].empty();
            out += hardBreak ? u"\\\n" : u"\n";
        }
    }
    return toUtf8(out);
}

std::string exportHtml(const std::vector<DatedPageText>& days)
{
    std::u16string out = u"<!DOCTYPE html>\n<html lang=\"ko\">\n<head>\n<meta charset=\"utf-8\">\n"
                         u"<title>Pagelet</title>\n<style>\n"
                         u"body { font-family: sans-serif; max-width: 42em; margin: 2em auto; padding: 0 1em; }\n"
                         u".weather { color: #666; }\n"
                         u".text { white-space: pre-wrap; overflow-wrap: break-word; }\n"
                         u"</style>\n</head>\n<body>\n";
    for (const auto& day : days) {
        std::u16string text;
        const auto lines = splitLines(day.page.text);
        for (std::size_t i = 0; i < lines.size(); ++i)
            text += (i ? u"\n" : u"") + htmlText(lines[i]);
        out += u"<section>\n<h2 id=\"" + isoDate(day.date) + u"\">" + htmlText(dayHeading(day.date)) + u"</h2>\n" +
               u"<p class=\"weather\">" + htmlText(withArgument(textOf(TextId::WeatherLine), weatherWord(day.page.weather))) +
               u"</p>\n" +
               u"<div class=\"text\">" + text + u"</div>\n</section>\n";
    }
    out += u"</body>\n</html>\n";
    return toUtf8(out);
}

ExportSummary exportDiary(const PageStore& pages, const std::u16string& file, ExportFormat format)
{
    ExportSummary summary;
    const auto dates = pages.listDays();
    if (!dates) {
        summary.outcome = ExportSummary::Outcome::FolderUnreadable;
        return summary;
    }
    if (pages.holds(file)) {
        summary.outcome = ExportSummary::Outcome::InsideDataFolder;
        return summary;
    }
    std::vector<DatedPageText> days;
    for (const LocalDate& date : *dates) {
        Page page; // no stamp: nothing is written back, so the file's hash is not needed
        const PageFileState state = pages.readInto(date, page).state;
        if (state == PageFileState::Unreadable)
            summary.unreadable.push_back(pages.pageLocation(date));
        if (state == PageFileState::Readable)
            days.push_back({date, std::move(page)});
    }
    const std::string text = format == ExportFormat::Markdown ? exportMarkdown(days) : exportHtml(days);
    if (!writeFileAtomic(file, Bytes(text.begin(), text.end()))) {
        summary.outcome = ExportSummary::Outcome::WriteFailed;
        return summary;
    }
    summary.days = static_cast<int>(days.size());
    return summary;
}

} // namespace pagelet
