#include "diary/DiarySearch.h"

#include "base/UnitScan.h"
#include "platform/CaseFolding.h"
#include "store/PageStore.h"

#include <algorithm>

namespace pagelet {

namespace {

bool isBreak(char16_t c)
{
    return c == u'\r' || c == u'\n';
}

} // namespace

DiarySearch::DiarySearch(const CaseFolding& folding) : m_folding(folding)
{
}

const FoldTable* DiarySearch::foldingFor(bool matchCase) const
{
    return matchCase ? nullptr : &m_folding.table();
}

std::optional<std::size_t> DiarySearch::find(const std::u16string& text, const std::u16string& word, bool matchCase)
{
    if (word.empty())
        return std::nullopt;
    return UnitFinder(word, foldingFor(matchCase)).find(text);
}

std::optional<SearchHit> DiarySearch::searchPage(const LocalDate& date, const std::u16string& text,
                                                 const std::u16string& word, bool matchCase)
{
    return searchPage(date, text, UnitFinder(word, foldingFor(matchCase)));
}

std::optional<SearchHit> DiarySearch::searchPage(const LocalDate& date, const std::u16string& text, const UnitFinder& finder)
{
    if (finder.word().empty())
        return std::nullopt; // matches nothing rather than everywhere
    const auto at = finder.find(text);
    if (!at)
        return std::nullopt;
    std::size_t start = *at;
    while (start > 0 && !isBreak(text[start - 1]))
        --start;
    std::size_t end = *at;
    while (end < text.size() && !isBreak(text[end]))
        ++end;
    SearchHit hit {date, text.substr(start, end - start), *at - start, 0};
    hit.matchLength = std::min(finder.word().size(), end - *at); // a word with a line break ends at the line's end
    return hit;
}

SearchSummary DiarySearch::searchFolder(const PageStore& pages, const Request& request, const std::function<void(const SearchHit&)>& onHit,
                                        const std::function<bool()>& shouldStop)
{
    SearchSummary summary;
    auto days = pages.listDays();
    if (!days)
        return summary;
    summary.folderRead = true;
    if (request.order == SearchOrder::NewestFirst)
        std::reverse(days->begin(), days->end());
    const UnitFinder finder(request.word, foldingFor(request.matchCase));
    Page stored; // one buffer for every page
    for (const LocalDate& date : *days) {
        if (shouldStop && shouldStop()) {
            summary.stopped = true;
            break;
        }
        const PageFileState state = pages.readInto(date, stored).state;
        if (state == PageFileState::Unreadable)
            summary.unreadable.push_back(pages.pageLocation(date));
        if (state != PageFileState::Readable)
            continue;
        if (auto hit = searchPage(date, stored.text, finder)) {
            ++summary.matchedDays;
            onHit(*hit);
        }
    }
    return summary;
}

} // namespace pagelet
