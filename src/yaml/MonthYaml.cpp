#include "import/CivilTime.h"
#include "import/MonthFile.h"
#include "base/Text.h"

#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <sstream>

// The month files' YAML reader, a module loaded by readMonthFile at its first use.
namespace pagelet {

namespace {

// Walks the events once before the document is built, to refuse what no month file holds.
class AliasCheck : public YAML::EventHandler {
public:
    explicit AliasCheck(std::string origin) : m_origin(std::move(origin)) {}
    void OnDocumentStart(const YAML::Mark&) override {}
    void OnDocumentEnd() override {}
    void OnNull(const YAML::Mark&, YAML::anchor_t) override {}
    void OnAlias(const YAML::Mark& mark, YAML::anchor_t) override
    {
        throw ImportRefused(m_origin + ": line " + std::to_string(mark.line + 1)
                            + ": aliases are not taken in a month file");
    }
    void OnScalar(const YAML::Mark&, const std::string&, YAML::anchor_t, const std::string&) override {}
    void OnSequenceStart(const YAML::Mark&, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override {}
    void OnSequenceEnd() override {}
    void OnMapStart(const YAML::Mark&, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override {}
    void OnMapEnd() override {}

private:
    std::string m_origin;
};

bool isBreakByte(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The tags an older writer of month files put before texts: they mean a string, as no tag does.
constexpr std::string_view kTextTags[] = {"!!python/unicode", "!!python/str"};

// The length of the text tag that text starts with, followed by a blank or the line's end; 0 for
// any other tag.
std::size_t textTagLength(std::string_view text)
{
    for (const std::string_view tag : kTextTags)
        if (text.starts_with(tag) && (text.size() == tag.size() || isBreakByte(text[tag.size()])))
            return tag.size();
    return 0;
}

// The line of the first comma outside brackets and outside plain text, or of a control
// character, and which it is; 0 when there is none. No YAML text holds either, and the YAML
// parser loops for ever on some such commas (after a quote, at a document's start):
// they are refused before it runs. Quoted, bracketed and block text and comments are passed
// over; a plain text's word or continuation line that starts with ',' is refused too, as the
// price of a short look.
std::pair<std::size_t, const char*> unsafeForParser(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::size_t line = 1;
    int depth = 0;          // [ and { open
    char quote = 0;         // inside '...' or "..."
    int blockIndent = -1;   // inside a | or > text: the indentation of its key's line
    int indent = 0;         // of the current line
    bool lineStart = true;  // nothing but blanks yet on this line
    bool tokenStart = true; // the next byte starts a token
    bool plain = false;     // the current token is plain text
    std::size_t quoteLine = 0;
    char last = 0;          // the first byte of this line's last token
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F)
            return {line, "a control character"}; // no YAML text holds one
        if (c == '\n') {
            // A line ending in | or > (and its indicators) opens a block text below it.
            if (!quote && depth == 0 && blockIndent < 0 && (last == '|' || last == '>'))
                blockIndent = indent;
            ++line;
            indent = 0;
            lineStart = tokenStart = true;
            plain = false;
            last = 0;
            continue;
        }
        if (lineStart && (c == ' ' || c == '\t')) {
            ++indent;
            continue;
        }
        if (lineStart) {
            lineStart = false;
            if (blockIndent >= 0 && (indent > blockIndent || c == '\r'))
                goto skipLine;
            blockIndent = -1;
        }
        if (quote) {
            if (c == '\\' && quote == '"')
                ++i;
            else if (c == quote)
                quote = 0; // what follows at once is no plain text
            continue;
        }
        if (c == '#' && (tokenStart || i == 0 || isBreakByte(text[i - 1])))
            goto skipLine;
        if (isBreakByte(c)) {
            tokenStart = true;
            plain = false;
            continue;
        }
        // Inside a plain text a comma is just a letter; anywhere else outside brackets it is
        // what the parser stumbles on.
        if (c == ',' && depth == 0 && !(plain && !tokenStart))
            return {line, "',' starts a value outside brackets"};
        // Month files have no tags but the ones an older writer put before every text, and the
        // parser loops for ever on many a damaged one.
        if (tokenStart && c == '!') {
            if (const std::size_t length = textTagLength(text.substr(i))) {
                i += length - 1; // a break follows: the next byte starts a token
                continue;
            }
            return {line, "a tag ('!'); month files have none"};
        }
        if (tokenStart) {
            last = c;
            if (c == '"' || c == '\'') {
                quote = c;
                quoteLine = line;
            }
            plain = std::string_view(",[]{}#&*!|>'\"%@`").find(c) == std::string_view::npos;
        }
        if (c == '[' || c == '{')
            ++depth;
        else if ((c == ']' || c == '}') && depth > 0)
            --depth;
        // After a bracket, or a comma inside brackets, the next byte starts a token.
        tokenStart = c == '[' || c == '{' || c == ']' || c == '}' || (c == ',' && depth > 0);
        if (tokenStart)
            plain = false;
        continue;
    skipLine:
        while (i + 1 < text.size() && text[i + 1] != '\n')
            ++i;
    }
    // Cut inside quotes: the parser would take it as another text than a reader sees.
    if (quote)
        return {quoteLine, "a quote that is never closed"};
    return {0, nullptr};
}

std::vector<ImportEntry> readHere(std::string_view text, int year, int month, const std::string& origin)
{
    std::vector<ImportEntry> out;
    try {
        // Bytes that are no UTF-8 inside a tag also make the parser loop: no YAML text has them.
        if (toUtf8(fromUtf8(text)) != text)
            throw ImportRefused(origin + ": damaged YAML (not UTF-8 text)");
        if (const auto [line, why] = unsafeForParser(text); line)
            throw ImportRefused(origin + ": damaged YAML (line " + std::to_string(line) + ": " + why + ")");
        {
            std::istringstream stream {std::string(text)};
            YAML::Parser parser(stream);
            AliasCheck check(origin);
            while (parser.HandleNextDocument(check)) {
            }
        }
        const YAML::Node root = YAML::Load(std::string(text));
        if (root.IsNull())
            return out;
        if (!root.IsMap())
            throw ImportRefused(origin + ": no month file: it maps day numbers to entries");
        for (const auto& item : root) {
            const int day = item.first.as<int>();
            const LocalDate date {year, month, day};
            const std::string where = origin + ", day " + item.first.Scalar();
            if (!isImportableDate(date))
                throw ImportRefused(where + ": no such day in the month");
            const YAML::Node& content = item.second;
            if (!content.IsMap())
                throw ImportRefused(where + ": the day holds no entry");
            ImportEntry entry;
            entry.date = date;
            entry.origin = where;
            if (const YAML::Node body = content["text"]; body && !body.IsNull())
                entry.body = fromUtf8(body.as<std::string>());
            if (const YAML::Node tags = content["Tags"]; tags && tags.IsMap())
                for (const auto& tag : tags)
                    entry.tags.push_back(fromUtf8(tag.first.as<std::string>()));
            if (!entry.body.empty() || !entry.tags.empty())
                out.push_back(std::move(entry));
        }
    } catch (const YAML::Exception& error) {
        throw ImportRefused(origin + ": damaged YAML (" + error.what() + ")");
    }
    return out;
}

// The child's answer: "R" and the refusal, or "E" and per entry its day, origin, text and tags,
// each string led by its length.
void putString(std::string& out, std::string_view text)
{
    out += std::to_string(text.size());
    out += ':';
    out += text;
}

std::string encode(std::string_view text, int year, int month, const std::string& origin)
{
    std::string out;
    try {
        const std::vector<ImportEntry> entries = readHere(text, year, month, origin);
        out = "E";
        for (const ImportEntry& entry : entries) {
            putString(out, std::to_string(entry.date.day));
            putString(out, entry.origin);
            putString(out, toUtf8(entry.body));
            putString(out, std::to_string(entry.tags.size()));
            for (const std::u16string& tag : entry.tags)
                putString(out, toUtf8(tag));
        }
    } catch (const ImportRefused& refused) {
        out = "R";
        out += refused.what();
    }
    return out;
}

} // namespace

} // namespace pagelet

extern "C" __attribute__((visibility("default"))) void pagelet_month_yaml(const char* text, std::size_t size, int year,
                                                                          int month, const char* origin, std::string* out)
{
    try {
        *out = pagelet::encode(std::string_view(text, size), year, month, origin);
    } catch (...) {
        out->clear(); // the reader failed: the caller says so
    }
}
