#include "diary/DiaryExport.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "diary/PageFolder.h"
#include "store/PageStore.h"
#include "text/Catalogue.h"

#include <cstring>


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

// A relative link as a URL path: what is not plainly safe is percent-encoded as UTF-8.
std::u16string urlPath(const std::u16string& path)
{
    static const char* hex = "0123456789ABCDEF";
    std::u16string out;
    for (unsigned char b : toUtf8(path)) {
        if (b != 0 && ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || std::strchr("-._~/", b)))
            out += char16_t(b);
        else
            out += {u'%', char16_t(hex[b >> 4]), char16_t(hex[b & 15])};
    }
    return out;
}

// A memo longer than this is no recording of ours; it is left out rather than read whole.
constexpr std::size_t kMaxMemoBytes = std::size_t(512) << 20;

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

std::u16string memoFolderFor(const std::u16string& file)
{
    const std::size_t slash = file.rfind(u'/');
    const std::size_t nameAt = slash == std::u16string::npos ? 0 : slash + 1;
    std::size_t dot = file.rfind(u'.');
    if (dot == std::u16string::npos || dot <= nameAt)
        dot = file.size();
    return file.substr(0, dot) + u"_files/";
}

std::string exportStart(ExportFormat format)
{
    if (format == ExportFormat::Markdown)
        return {};
    return "<!DOCTYPE html>\n<html lang=\"ko\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<title>Pagelet</title>\n<style>\n"
           "body { font-family: sans-serif; max-width: 42em; margin: 2em auto; padding: 0 1em; }\n"
           ".weather { color: #666; }\n"
           ".text { white-space: pre-wrap; overflow-wrap: break-word; }\n"
           "</style>\n</head>\n<body>\n";
}

std::string exportEnd(ExportFormat format)
{
    return format == ExportFormat::Markdown ? std::string() : std::string("</body>\n</html>\n");
}

std::string exportDay(ExportFormat format, const DatedPageText& day, bool first)
{
    const auto lines = splitLines(day.page.text);
    const std::u16string weather = withArgument(textOf(TextId::WeatherLine), weatherWord(day.page.weather));
    std::u16string out;
    if (format == ExportFormat::Markdown) {
        if (!first)
            out += u"\n";
        out += u"## " + dayHeading(day.date) + u"\n\n" + weather + u"\n\n";
        if (!day.memo.empty())
            out += u"[" + markdownLine(textOf(TextId::VoiceMemo)) + u"](" + urlPath(day.memo) + u")\n\n";
        for (std::size_t i = 0; i < lines.size(); ++i) {
            out += markdownLine(lines[i]);
            // A backslash at the end keeps the break; an empty line stays a paragraph break.
            const bool hardBreak = i + 1 < lines.size() && !lines[i].empty() && !lines[i + 1].empty();
            out += hardBreak ? u"\\\n" : u"\n";
        }
        return toUtf8(out);
    }
    std::u16string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i ? u"\n" : u"") + htmlText(lines[i]);
    out += u"<section>\n<h2 id=\"" + isoDate(day.date) + u"\">" + htmlText(dayHeading(day.date)) + u"</h2>\n" +
           u"<p class=\"weather\">" + htmlText(weather) + u"</p>\n";
    if (!day.memo.empty())
        out += u"<p class=\"memo\"><audio controls preload=\"none\" src=\"" + htmlText(urlPath(day.memo)) +
               u"\" title=\"" + htmlText(textOf(TextId::VoiceMemo)) + u"\"></audio></p>\n";
    out += u"<div class=\"text\">" + text + u"</div>\n</section>\n";
    return toUtf8(out);
}

std::string exportMarkdown(const std::vector<DatedPageText>& days)
{
    std::string out = exportStart(ExportFormat::Markdown);
    for (std::size_t i = 0; i < days.size(); ++i)
        out += exportDay(ExportFormat::Markdown, days[i], i == 0);
    return out + exportEnd(ExportFormat::Markdown);
}

std::string exportHtml(const std::vector<DatedPageText>& days)
{
    std::string out = exportStart(ExportFormat::Html);
    for (std::size_t i = 0; i < days.size(); ++i)
        out += exportDay(ExportFormat::Html, days[i], i == 0);
    return out + exportEnd(ExportFormat::Html);
}

ExportSummary exportDiary(const PageStore& pages, const std::u16string& file, ExportFormat format)
{
    ExportSummary summary;
    const auto dates = pages.listDays();
    if (!dates) {
        summary.outcome = ExportSummary::Outcome::FolderUnreadable;
        return summary;
    }
    const std::u16string memoFolder = memoFolderFor(file);
    if (pages.holds(file) || pages.holds(memoFolder + u"x")) {
        summary.outcome = ExportSummary::Outcome::InsideDataFolder;
        return summary;
    }
    std::string temp;
    const int fd = createTemporaryBeside(file, temp);
    if (fd < 0) {
        summary.outcome = ExportSummary::Outcome::WriteFailed;
        return summary;
    }
    auto put = [fd](const std::string& piece) { return writeBytes(fd, piece.data(), piece.size()); };
    bool ok = put(exportStart(format));
    bool madeFolder = false;
    for (const LocalDate& date : *dates) {
        if (!ok)
            break;
        DatedPageText day {date, {}, {}};
        const PageCheck check = pages.readInto(date, day.page);
        if (check.state == PageFileState::Unreadable)
            summary.unreadable.push_back(pages.pageLocation(date));
        if (check.state != PageFileState::Readable)
            continue;
        if (pages.hasMemo(date)) {
            const std::u16string name = isoDate(date) + u".wav";
            const auto memo = pages.readMemo(date, kMaxMemoBytes);
            if (!memo) {
                summary.memosNotCopied.push_back(pages.pageLocation(date));
            } else {
                madeFolder = madeFolder || makePrivateFolder(memoFolder);
                ok = madeFolder && writeFileAtomic(memoFolder + name, *memo);
                if (!ok)
                    break;
                day.memo = memoFolder.substr(memoFolder.rfind(u'/', memoFolder.size() - 2) + 1) + name;
                ++summary.memos;
            }
        }
        ok = put(exportDay(format, day, summary.days == 0));
        ++summary.days;
    }
    ok = ok && put(exportEnd(format));
    if (!ok) {
        abandonTemporary(fd, temp);
        summary.outcome = ExportSummary::Outcome::WriteFailed;
        return summary;
    }
    if (!commitTemporary(fd, temp, file))
        summary.outcome = ExportSummary::Outcome::WriteFailed;
    return summary;
}

} // namespace pagelet
