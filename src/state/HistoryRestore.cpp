#include "state/HistoryRestore.h"

#include "base/Text.h"

namespace pagelet {

namespace {

std::u16string padded(int value, int width)
{
    std::u16string text = fromAscii(std::to_string(value));
    while (static_cast<int>(text.size()) < width)
        text.insert(text.begin(), u'0');
    return text;
}

// One version is one line: control characters in a page would break it or drive the terminal.
std::u16string printable(std::u16string line)
{
    for (char16_t& c : line)
        if ((c < 0x20 && c != u'\t') || (c >= 0x7F && c < 0xA0))
            c = u'\uFFFD';
    return line;
}

} // namespace

std::optional<Page> pageOfVersion(const PageHistory& history, const HistoryVersion& version, const LocalDate& date,
                                  const PageStore* store)
{
    const auto bytes = history.read(version);
    if (!bytes)
        return std::nullopt;
    return store ? store->pageOfFileBytes(date, *bytes) : decodePage(*bytes);
}

std::u16string firstLineOf(const std::u16string& text)
{
    return text.substr(0, text.find_first_of(u"\r\n"));
}

std::vector<std::u16string> historyLines(const PageHistory& history, const LocalDate& date, const PageStore* store)
{
    std::vector<std::u16string> lines;
    int number = 0;
    for (const HistoryVersion& version : history.versions(date)) {
        const LocalTime t = toLocal(static_cast<DayValue>(version.millis / 1000));
        const auto page = pageOfVersion(history, version, date, store);
        std::u16string line = padded(++number, 1) + u"  " + padded(t.date.year, 4) + u"-" + padded(t.date.month, 2) + u"-"
            + padded(t.date.day, 2) + u" " + padded(t.hour, 2) + u":" + padded(t.minute, 2) + u":" + padded(t.second, 2)
            + u"  " + fromAscii(std::to_string(version.size)) + u"  ";
        line += page ? printable(firstLineOf(page->text)) : std::u16string(u"?");
        lines.push_back(std::move(line));
    }
    return lines;
}

StoreResult restoreVersion(PageStore& store, const PageHistory& history, const LocalDate& date, int number)
{
    const auto list = history.versions(date);
    if (number < 1 || number > static_cast<int>(list.size()))
        return StoreResult::Failed;
    const auto page = pageOfVersion(history, list[static_cast<std::size_t>(number - 1)], date, &store);
    if (!page)
        return StoreResult::Failed;
    return store.write(date, *page);
}

} // namespace pagelet
