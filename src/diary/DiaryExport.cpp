#include "diary/DiaryExport.h"

#include "base/Day.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "base/Utf8Writer.h"
#include "store/PageStore.h"
#include "text/Catalogue.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <tuple>
#include <cstring>


namespace pagelet {

namespace {

bool isBreak(char16_t c)
{
    return c == u'\r' || c == u'\n';
}

// Lines break at CR LF, and at a lone CR or LF too: both break the line in the editor.
std::size_t pastBreak(std::u16string_view text, std::size_t i)
{
    return i + (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1);
}

bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// What an ASCII unit of a page asks for in a format: nothing, an escape, the end of a line,
// or the replacement character (control characters have no place in either format).
enum AsciiKind : unsigned char { Plain, Escaped, LineBreak, Control };

template <char... escaped>
constexpr std::array<AsciiKind, 128> asciiKinds()
{
    std::array<AsciiKind, 128> kinds {};
    for (std::size_t c = 0; c < 0x20; ++c)
        kinds[c] = Control;
    kinds['\t'] = Plain;
    kinds['\r'] = kinds['\n'] = LineBreak;
    for (const char c : {escaped...})
        kinds[static_cast<unsigned char>(c)] = Escaped;
    return kinds;
}

constexpr auto kMarkdownKinds = asciiKinds<'\\', '`', '*', '_', '[', ']', '<', '>', '&', '|', '~'>();
constexpr auto kHtmlKinds = asciiKinds<'&', '<', '>', '"'>();

// Units are converted a slice at a time straight into the writer's buffer.
constexpr std::size_t kSlice = 1024;

// From text[i] to the line's break or the end, with inline marks escaped; where it stopped.
std::size_t markdownRest(Utf8Writer& out, std::u16string_view text, std::size_t i)
{
    while (i < text.size()) {
        const std::size_t end = std::min(text.size(), i + kSlice);
        // At most three bytes a unit; a pair that starts at the slice's last unit takes four.
        char* o = out.room(3 * (end - i) + 1);
        for (; i < end; ++i) {
            const char16_t c = text[i];
            if (c >= 0x80) {
                o = putUtf8(codeAt(text, i), o);
                continue;
            }
            switch (kMarkdownKinds[c]) {
            case Plain: *o++ = static_cast<char>(c); break;
            case Escaped: *o++ = '\\'; *o++ = static_cast<char>(c); break;
            case Control: o = putUtf8(0xFFFD, o); break;
            case LineBreak: out.commit(o); return i;
            }
        }
        out.commit(o);
    }
    return i;
}

// The line that starts at text[i], up to its break or the end; returns where it stopped. Only
// what could start a block or an inline mark is escaped, so the text stays readable.
std::size_t markdownLine(Utf8Writer& out, std::u16string_view text, std::size_t i)
{
    for (; i < text.size() && (text[i] == u' ' || text[i] == u'\t'); ++i)
        out.bytes(text[i] == u' ' ? "&#32;" : "&#9;"); // indentation would make a code block
    if (i == text.size())
        return i;
    const std::size_t first = i;
    const char16_t c = text[i];
    if (c == u'#' || c == u'+' || c == u'-' || c == u'=') {
        out.byte('\\');
        out.byte(static_cast<char>(c));
        return markdownRest(out, text, i + 1);
    }
    for (; i < text.size() && isAsciiDigit(text[i]); ++i)
        out.byte(static_cast<char>(text[i]));
    if (i > first && i < text.size() && (text[i] == u'.' || text[i] == u')')) {
        out.byte('\\'); // "1." would start a numbered list
        out.byte(static_cast<char>(text[i++]));
    }
    return markdownRest(out, text, i);
}

void markdownText(Utf8Writer& out, std::u16string_view text)
{
    std::size_t i = 0;
    for (;;) {
        const std::size_t start = i;
        i = markdownLine(out, text, i);
        if (i == text.size()) {
            out.byte('\n');
            return;
        }
        const bool empty = i == start;
        i = pastBreak(text, i);
        const bool nextEmpty = i == text.size() || isBreak(text[i]);
        // A backslash at the end keeps the break; an empty line stays a paragraph break.
        out.bytes(!empty && !nextEmpty ? "\\\n" : "\n");
    }
}

// Each line break as one LF.
void htmlText(Utf8Writer& out, std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t end = std::min(text.size(), i + kSlice);
        // At most six bytes a unit ("&quot;"), and one more for a pair at the end.
        char* o = out.room(6 * (end - i) + 1);
        for (; i < end; ++i) {
            const char16_t c = text[i];
            if (c >= 0x80) {
                o = putUtf8(codeAt(text, i), o);
                continue;
            }
            switch (kHtmlKinds[c]) {
            case Plain: *o++ = static_cast<char>(c); break;
            case Control: o = putUtf8(0xFFFD, o); break;
            case LineBreak:
                i = pastBreak(text, i) - 1;
                *o++ = '\n';
                break;
            case Escaped: {
                const std::string_view entity = c == u'&' ? "&amp;" : c == u'<' ? "&lt;" : c == u'>' ? "&gt;" : "&quot;";
                o = std::copy(entity.begin(), entity.end(), o);
                break;
            }
            }
        }
        out.commit(o);
    }
}

// A relative link as a URL path: what is not plainly safe is percent-encoded as UTF-8. What
// is left needs no escaping in HTML either.
std::string urlPath(const std::u16string& path)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : toUtf8(path)) {
        if (b != 0 && ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || std::strchr("-._~/", b)))
            out += static_cast<char>(b);
        else
            out += {'%', hex[b >> 4], hex[b & 15]};
    }
    return out;
}

// The bytes held before they are written: a few hundred writes for ten years of pages.
constexpr std::size_t kExportBuffer = std::size_t(1) << 16;

// A memo longer than this is no recording of ours; it is left out rather than read whole.
constexpr std::size_t kMaxMemoBytes = std::size_t(512) << 20;

// The texts every day repeats, looked up once: a heading's weekday, a weather line.
class DayTexts {
public:
    DayTexts()
    {
        for (int i = 0; i < 7; ++i)
            m_weekdays[i] = textOf(TextId::Sunday, i);
        for (int i = 0; i < 5; ++i)
            m_weather[i] = withArgument(textOf(TextId::WeatherLine), weatherWord(i));
        m_voiceMemo = textOf(TextId::VoiceMemo);
    }

    std::u16string heading(const LocalDate& date) const
    {
        return isoDate(date) + u" (" + m_weekdays[weekdayOf(date)] + u")";
    }
    const std::u16string& weather(std::int32_t mark) const { return m_weather[mark >= 0 && mark <= 4 ? mark : 0]; }
    const std::u16string& voiceMemo() const { return m_voiceMemo; }

private:
    std::u16string m_weekdays[7];
    std::u16string m_weather[5];
    std::u16string m_voiceMemo;
};

void exportStart(Utf8Writer& out, ExportFormat format)
{
    if (format != ExportFormat::Html)
        return;
    out.bytes("<!DOCTYPE html>\n<html lang=\"");
    out.text(textOf(TextId::Language));
    out.bytes("\">\n<head>\n<meta charset=\"utf-8\">\n"
              "<title>Pagelet</title>\n<style>\n"
              "body { font-family: sans-serif; max-width: 42em; margin: 2em auto; padding: 0 1em; }\n"
              ".weather { color: #666; }\n"
              ".text { white-space: pre-wrap; overflow-wrap: break-word; }\n"
              "</style>\n</head>\n<body>\n");
}

void exportEnd(Utf8Writer& out, ExportFormat format)
{
    if (format == ExportFormat::Html)
        out.bytes("</body>\n</html>\n");
}

// memo: the memo copy's link relative to the exported file; empty: none.
void exportDay(Utf8Writer& out, ExportFormat format, const DayTexts& texts, const LocalDate& date,
               const Page& page, const std::u16string& memo, bool first)
{
    const std::u16string heading = texts.heading(date);
    const std::u16string& weather = texts.weather(page.weather);
    if (format == ExportFormat::Markdown) {
        out.bytes(first ? "## " : "\n## ");
        out.text(heading);
        out.bytes("\n\n");
        out.text(weather);
        out.bytes("\n\n");
        if (!memo.empty()) {
            out.byte('[');
            markdownLine(out, texts.voiceMemo(), 0);
            out.bytes("](");
            out.bytes(urlPath(memo));
            out.bytes(")\n\n");
        }
        markdownText(out, page.text);
        return;
    }
    out.bytes("<section>\n<h2 id=\"");
    out.text(isoDate(date));
    out.bytes("\">");
    htmlText(out, heading);
    out.bytes("</h2>\n<p class=\"weather\">");
    htmlText(out, weather);
    out.bytes("</p>\n");
    if (!memo.empty()) {
        out.bytes("<p class=\"memo\"><audio controls preload=\"none\" src=\"");
        out.bytes(urlPath(memo));
        out.bytes("\" title=\"");
        htmlText(out, texts.voiceMemo());
        out.bytes("\"></audio></p>\n");
    }
    out.bytes("<div class=\"text\">");
    htmlText(out, page.text);
    out.bytes("</div>\n</section>\n");
}

std::string exportAll(const std::vector<DatedPageText>& days, ExportFormat format)
{
    std::string text;
    Utf8Writer out([&text](std::string_view bytes) {
        text += bytes;
        return true;
    });
    const DayTexts texts;
    exportStart(out, format);
    for (std::size_t i = 0; i < days.size(); ++i)
        exportDay(out, format, texts, days[i].date, days[i].page, days[i].memo, i == 0);
    exportEnd(out, format);
    out.flush();
    return text;
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

std::u16string memoFolderFor(const std::u16string& file)
{
    const std::size_t slash = file.rfind(u'/');
    const std::size_t nameAt = slash == std::u16string::npos ? 0 : slash + 1;
    std::size_t dot = file.rfind(u'.');
    if (dot == std::u16string::npos || dot <= nameAt)
        dot = file.size();
    return file.substr(0, dot) + u"_files/";
}

std::string exportMarkdown(const std::vector<DatedPageText>& days)
{
    return exportAll(days, ExportFormat::Markdown);
}

std::string exportHtml(const std::vector<DatedPageText>& days)
{
    return exportAll(days, ExportFormat::Html);
}

ExportSummary exportDiary(const PageStore& pages, const std::u16string& file, ExportFormat format)
{
    ExportSummary summary;
    auto dates = pages.listDays();
    // A memo whose page is missing is still a day of the diary.
    if (dates) {
        const auto memos = pages.listMemoDays();
        std::vector<LocalDate> both;
        const auto before = [](const LocalDate& a, const LocalDate& b) {
            return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
        };
        std::set_union(dates->begin(), dates->end(), memos.begin(), memos.end(), std::back_inserter(both), before);
        *dates = std::move(both);
    }
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
    Utf8Writer out([fd](std::string_view bytes) { return writeBytes(fd, bytes.data(), bytes.size()); }, kExportBuffer);
    const DayTexts texts;
    exportStart(out, format);
    bool ok = true;
    bool madeFolder = false;
    Page page; // one buffer for every page's text
    std::u16string memo;
    for (const LocalDate& date : *dates) {
        const PageCheck check = pages.readInto(date, page);
        if (check.state == PageFileState::Unreadable)
            summary.unreadable.push_back(pages.pageLocation(date));
        if (check.state == PageFileState::Missing)
            page = Page {}; // a memo's day without a page
        else if (check.state != PageFileState::Readable)
            continue;
        memo.clear();
        if (pages.hasMemo(date)) {
            const std::u16string name = isoDate(date) + u".wav";
            const auto bytes = pages.readMemo(date, kMaxMemoBytes);
            if (!bytes) {
                summary.memosNotCopied.push_back(pages.memoPath(date));
            } else {
                madeFolder = madeFolder || makePrivateFolder(memoFolder);
                ok = madeFolder && writeFileAtomic(memoFolder + name, *bytes);
                if (!ok)
                    break;
                memo = memoFolder.substr(memoFolder.rfind(u'/', memoFolder.size() - 2) + 1) + name;
                ++summary.memos;
            }
        }
        exportDay(out, format, texts, date, page, memo, summary.days == 0);
        ++summary.days;
        if (out.failed())
            break;
    }
    exportEnd(out, format);
    ok = ok && out.flush();
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
