#include "import/DailyNote.h"

#include "base/Text.h"
#include "import/SourceText.h"

#include <optional>
#include <vector>

namespace pagelet {

namespace {

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A YAML text as written: quotes taken off.
std::string_view unquoted(std::string_view text)
{
    text = trimmed(text);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        return text.substr(1, text.size() - 2);
    return text;
}

void addWords(std::string_view text, std::vector<std::u16string>& tags)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find_first_of(", \t", at), text.size());
        if (end > at)
            tags.push_back(fromUtf8(text.substr(at, end - at)));
        at = end + 1;
    }
}

void addItems(std::string_view list, std::vector<std::u16string>& tags)
{
    std::size_t at = 0;
    while (at <= list.size()) {
        const std::size_t end = std::min(list.find(',', at), list.size());
        if (const std::string_view item = unquoted(list.substr(at, end - at)); !item.empty())
            tags.push_back(fromUtf8(item));
        at = end + 1;
    }
}

// The tags of the front matter's lines: "tags: [a, b]", "tags: a, b c", or "tags:" and "- a"
// lines below it. Other keys are dropped with the block; no YAML reader is needed for these.
std::vector<std::u16string> tagsOf(const std::vector<std::string_view>& lines)
{
    std::vector<std::u16string> tags;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].starts_with("tags:"))
            continue;
        const std::string_view value = trimmed(lines[i].substr(5));
        if (value.starts_with('[') && value.ends_with(']'))
            addItems(value.substr(1, value.size() - 2), tags);
        else if (!value.empty())
            addWords(unquoted(value), tags);
        for (++i; i < lines.size() && value.empty(); ++i) {
            const std::string_view item = trimmed(lines[i]);
            if (!item.starts_with('-'))
                break;
            if (const std::string_view name = unquoted(item.substr(1)); !name.empty())
                tags.push_back(fromUtf8(name));
        }
        break;
    }
    return tags;
}

} // namespace

ImportEntry readDailyNote(std::string_view text, const LocalDate& date, const std::string& origin)
{
    ImportEntry note;
    note.date = date;
    note.origin = origin;
    text = withoutByteOrderMark(text);
    // A front matter opens on the first line and closes with "---" or "..."; a note that only
    // starts with a rule and never closes it is all text.
    std::size_t at = std::min(text.find('\n'), text.size()) + 1;
    if (trimmed(text.substr(0, at - 1)) == "---") {
        std::vector<std::string_view> lines;
        while (at < text.size()) {
            const std::size_t end = std::min(text.find('\n', at), text.size());
            const std::string_view line = text.substr(at, end - at);
            at = end + 1;
            if (trimmed(line) == "---" || trimmed(line) == "...") {
                note.tags = tagsOf(lines);
                text.remove_prefix(std::min(at, text.size()));
                while (!text.empty() && (text.front() == '\n' || text.front() == '\r'))
                    text.remove_prefix(1);
                break;
            }
            lines.push_back(line);
        }
    }
    note.body = fromUtf8(text);
    return note;
}

} // namespace pagelet
