#include "diary/EarlierYears.h"

#include "store/PageStore.h"

#include <algorithm>

namespace pagelet {

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000';
}

std::u16string firstLineOf(const std::u16string& text, std::size_t units)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find_first_of(u"\r\n", at), text.size());
        std::size_t begin = at;
        while (begin < end && isBlank(text[begin]))
            ++begin;
        if (begin < end) {
            std::u16string line = text.substr(begin, end - begin);
            for (char16_t& c : line)
                if (c < 0x20)
                    c = u' ';
            if (line.size() > units) {
                // Never cut a surrogate pair in half.
                std::size_t cut = units;
                if (cut > 0 && line[cut - 1] >= 0xD800 && line[cut - 1] <= 0xDBFF)
                    --cut;
                line = line.substr(0, cut) + u"…";
            }
            return line;
        }
        at = end + 1;
    }
    return {};
}

} // namespace

std::vector<EarlierPage> earlierYears(const PageStore& pages, const LocalDate& shown, std::size_t lineUnits)
{
    std::vector<EarlierPage> found;
    const auto days = pages.listDays();
    if (!days)
        return found;
    for (const LocalDate& date : *days) {
        if (date.month != shown.month || date.day != shown.day || date.year >= shown.year)
            continue;
        const LoadedPage loaded = pages.read(date);
        found.push_back({date, loaded.state == PageFileState::Readable ? firstLineOf(loaded.page.text, lineUnits) : u""});
    }
    std::reverse(found.begin(), found.end());
    return found;
}

} // namespace pagelet
