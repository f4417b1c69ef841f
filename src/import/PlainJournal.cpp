#include "import/PlainJournal.h"

#include "base/Text.h"
#include "import/CivilTime.h"
#include "import/SourceText.h"

#include <optional>

namespace pagelet {

namespace {

bool shapedLike(std::string_view text, std::string_view shape)
{
    if (text.size() < shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i)
        if (shape[i] == '9' ? (text[i] < '0' || text[i] > '9') : text[i] != shape[i])
            return false;
    return true;
}

struct EntryLine {
    ImportEntry entry;
    bool damaged = false; // shaped like an entry line, with a date or time that can't be
};

// An entry line, or nothing for a body line.
std::optional<EntryLine> entryLine(std::string_view line)
{
    const bool bracket = line.starts_with('[');
    std::string_view rest = line.substr(bracket ? 1 : 0);
    if (!shapedLike(rest, "9999-99-99 99:99"))
        return std::nullopt;
    std::string_view clock = rest.substr(11, 5);
    rest.remove_prefix(16);
    if (shapedLike(rest, ":99"))
        rest.remove_prefix(3);
    int shift = -1; // 12-hour clock: 0 before noon, 12 after
    if (rest.starts_with(" AM") || rest.starts_with(" PM")) {
        shift = rest[1] == 'P' ? 12 : 0;
        rest.remove_prefix(3);
    }
    if (bracket) {
        if (!rest.starts_with(']'))
            return std::nullopt;
        rest.remove_prefix(1);
    } else if (!rest.empty() && rest.front() != ' ') {
        return std::nullopt;
    }
    if (rest.starts_with(' '))
        rest.remove_prefix(1);
    EntryLine out;
    const auto date = parseIsoDate(line.substr(bracket ? 1 : 0, 10));
    const auto time = parseClock(clock);
    if (!date || !time || (shift >= 0 && (time->first < 1 || time->first > 12))) {
        out.damaged = true;
        return out;
    }
    out.entry.date = *date;
    out.entry.hour = shift < 0 ? time->first : time->first % 12 + shift;
    out.entry.minute = time->second;
    out.entry.title = fromUtf8(rest);
    return out;
}

bool blank(std::string_view line)
{
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

void finish(std::vector<ImportEntry>& entries, std::string& body)
{
    while (!body.empty() && (body.back() == '\n' || body.back() == '\r'))
        body.pop_back();
    if (!entries.empty())
        entries.back().body = fromUtf8(body);
    body.clear();
}

} // namespace

std::vector<ImportEntry> readPlainJournal(std::string_view text, const std::string& origin)
{
    text = withoutByteOrderMark(text);
    std::vector<ImportEntry> entries;
    std::string body;
    std::size_t number = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        const std::string where = origin + ", line " + std::to_string(number);
        if (auto found = entryLine(line)) {
            if (found->damaged)
                throw ImportRefused(where + ": no date YYYY-MM-DD within the years 1000 to 9999 or no time HH:MM");
            finish(entries, body);
            found->entry.origin = where;
            entries.push_back(std::move(found->entry));
        } else if (entries.empty()) {
            if (!blank(line))
                throw ImportRefused(where + ": text before the first entry line [YYYY-MM-DD HH:MM]");
        } else if (!body.empty() || !blank(line)) {
            body.append(line).append("\n");
        }
    }
    finish(entries, body);
    if (entries.empty())
        throw ImportRefused(origin + ": no entry line [YYYY-MM-DD HH:MM] in it");
    return entries;
}

} // namespace pagelet
