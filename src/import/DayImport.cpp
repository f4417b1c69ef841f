#include "import/DayImport.h"

#include "base/Day.h"
#include "base/Text.h"
#include "import/CivilTime.h"
#include "platform/ZoneOffsets.h"
#include "store/PageStore.h"
#include "text/Catalogue.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace pagelet {

namespace {

// Every line break as CR LF, the way pages keep them.
std::u16string withCrLf(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += u"\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

std::u16string trimmedEnd(std::u16string text)
{
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' '))
        text.pop_back();
    return text;
}

// A tag as one word: sources mark tags with "@" or "#" themselves, and a space would end it.
std::u16string tagWord(std::u16string tag)
{
    while (!tag.empty() && (tag.front() == u'@' || tag.front() == u'#'))
        tag.erase(0, 1);
    for (char16_t& c : tag)
        if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n')
            c = u'_';
    return tag.empty() ? tag : u"#" + tag;
}

// The entry on its local day, with its local time of day.
ImportEntry placed(const ImportEntry& entry, const ZoneOffsets& zones)
{
    ImportEntry local = entry;
    if (entry.utcSeconds) {
        int offset = 0;
        if (!entry.zone.empty()) {
            const auto found = zones.offsetAt(entry.zone, *entry.utcSeconds);
            if (!found)
                throw ImportRefused(entry.origin + ": unknown time zone \"" + entry.zone + "\"");
            offset = *found;
        }
        const CivilTime civil = fromCivilSeconds(*entry.utcSeconds + offset);
        local.utcSeconds.reset();
        local.date = civil.date;
        local.hour = civil.hour;
        local.minute = civil.minute;
    }
    if (!isImportableDate(local.date))
        throw ImportRefused(entry.origin + ": the date is outside the years 1000 to 9999");
    return local;
}

bool earlier(const ImportEntry& a, const ImportEntry& b)
{
    const auto key = [](const ImportEntry& e) {
        return std::tuple {e.date.year, e.date.month, e.date.day, e.hour, e.minute};
    };
    return key(a) < key(b);
}

std::string dayName(const LocalDate& date)
{
    return toUtf8(isoDate(date));
}

// Line breaks of any kind as "\n": a page keeps CR LF, an entry may come with either.
std::u16string withLf(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue;
        out += text[i] == u'\r' ? u'\n' : text[i];
    }
    return out;
}

bool blankLine(std::u16string_view line)
{
    return line.find_first_not_of(u" \t") == std::u16string_view::npos;
}

// Whether entry (line breaks as "\n") stands on the page as an entry of its own: its whole text,
// from a line's start to a line's end, with a blank line, the import marker or the page's edge
// on either side. Only a part of a line or of another entry is not the same entry.
bool holdsEntry(std::u16string_view page, std::u16string_view entry, std::u16string_view marker)
{
    for (std::size_t at = page.find(entry); at != std::u16string_view::npos; at = page.find(entry, at + 1)) {
        const std::u16string_view before = page.substr(0, at);
        const std::u16string_view after = page.substr(at + entry.size());
        bool opens = before.empty();
        if (before.ends_with(u'\n')) {
            const std::u16string_view head = before.substr(0, before.size() - 1);
            const std::u16string_view line = head.substr(head.rfind(u'\n') + 1);
            opens = blankLine(line) || line == marker;
        }
        bool closes = after.empty();
        if (after.starts_with(u'\n')) {
            const std::u16string_view next = after.substr(1, after.find(u'\n', 1) - 1);
            closes = blankLine(next) || next == marker;
        }
        if (opens && closes)
            return true;
    }
    return false;
}

// The day's page with the entries that are not in it yet; nothing added leaves days as it was.
void planDay(const LocalDate& date, const std::vector<std::u16string>& texts, const PageStore& store,
             std::size_t maxPageUnits, ImportPlan& plan)
{
    const LoadedPage old = store.read(date);
    if (old.state == PageFileState::Unreadable)
        throw ImportRefused(dayName(date) + ": the diary's page of this day can't be read; nothing was imported");
    const std::u16string& before = old.page.text;
    const std::u16string marker = textOf(TextId::ImportedMarker);
    const std::u16string page = withLf(before);
    std::vector<std::u16string> taken; // as withLf gives them
    std::u16string added;
    int count = 0;
    for (const auto& text : texts) {
        std::u16string entry = withLf(text);
        if (holdsEntry(page, entry, marker) || std::find(taken.begin(), taken.end(), entry) != taken.end()) {
            ++plan.skipped;
            continue;
        }
        taken.push_back(std::move(entry));
        added += (count ? u"\r\n\r\n" : u"") + text;
        ++count;
    }
    if (count == 0)
        return;
    ImportedDay day {date, old.state == PageFileState::Missing, count, {}, old.page};
    if (!before.empty()) {
        const std::u16string lineEnd = before.ends_with(u"\r\n") ? u"" : u"\r\n";
        added = lineEnd + (before.find(marker) == std::u16string::npos ? marker : std::u16string()) + u"\r\n" + added;
    }
    if (before.size() + added.size() > maxPageUnits)
        throw ImportRefused(dayName(date) + ": the page would be longer than a page holds (" + std::to_string(maxPageUnits)
                            + " characters)");
    day.page.text = before + added;
    day.added = std::move(added);
    plan.entries += count;
    plan.newPages += day.newPage ? 1 : 0;
    plan.days.push_back(std::move(day));
}

} // namespace

std::u16string entryText(const ImportEntry& entry)
{
    std::vector<std::u16string> lines;
    std::u16string head = entry.hour >= 0 ? u"[" + twoDigits(entry.hour) + u":" + twoDigits(entry.minute) + u"]" : u"";
    if (!entry.title.empty())
        head += (head.empty() ? u"" : u" ") + entry.title;
    // Without a title the body starts right after the time.
    std::u16string body = trimmedEnd(entry.body);
    if (entry.title.empty() && !head.empty() && !body.empty())
        head += u" " + std::exchange(body, {});
    if (!head.empty())
        lines.push_back(std::move(head));
    if (!body.empty())
        lines.push_back(std::move(body));
    std::u16string tags;
    for (const auto& tag : entry.tags)
        if (const std::u16string word = tagWord(tag); !word.empty())
            tags += (tags.empty() ? u"" : u" ") + word;
    if (!tags.empty())
        lines.push_back(std::move(tags));
    for (const auto& name : entry.attachments)
        lines.push_back(withArgument(textOf(TextId::Attachment), name));
    std::u16string text;
    for (const auto& line : lines)
        text += (text.empty() ? u"" : u"\n") + line;
    return withCrLf(text);
}

Outcome<ImportPlan> planImport(const std::vector<ImportEntry>& entries, const PageStore& store, const ZoneOffsets& zones,
                               std::size_t maxPageUnits)
{
    ImportPlan plan;
    try {
        std::vector<ImportEntry> local;
        local.reserve(entries.size());
        for (const auto& entry : entries)
            local.push_back(placed(entry, zones));
        std::stable_sort(local.begin(), local.end(), earlier);
        std::vector<std::u16string> texts;
        for (std::size_t i = 0; i < local.size(); ++i) {
            std::u16string text = entryText(local[i]);
            if (text.size() > maxPageUnits)
                throw ImportRefused(local[i].origin + ": the entry is longer than a page holds ("
                                    + std::to_string(maxPageUnits) + " characters)");
            if (!text.empty())
                texts.push_back(std::move(text));
            if (i + 1 == local.size() || !(local[i + 1].date == local[i].date)) {
                if (!texts.empty())
                    planDay(local[i].date, texts, store, maxPageUnits, plan);
                texts.clear();
            }
        }
    } catch (const ImportRefused& refused) {
        return Failure {refused.what()};
    }
    return plan;
}

Outcome<void> applyImport(const ImportPlan& plan, PageStore& store)
{
    std::vector<std::pair<LocalDate, Page>> written; // each with what it held before
    for (const auto& day : plan.days) {
        const LoadedPage before = store.read(day.date);
        if (store.write(day.date, day.page) != StoreResult::Failed) {
            written.emplace_back(day.date, before.page);
            continue;
        }
        bool restored = true;
        for (auto it = written.rbegin(); it != written.rend(); ++it)
            restored = store.write(it->first, it->second) != StoreResult::Failed && restored;
        return Failure {dayName(day.date) + ": the page can't be written; "
                        + (restored ? "nothing was imported" : "some days could not be put back as they were")};
    }
    return {};
}

} // namespace pagelet
