#include "diary/DiarySearch.h"

#include "diary/PageFile.h"
#include "diary/PageFolder.h"
#include "platform/CaseFolding.h"

#include <algorithm>
#include <cstring>

namespace pagelet {

namespace {

// memmem over the units' bytes is much faster than a unit loop; a hit must start on a unit.
std::optional<std::size_t> findUnits(const std::u16string& haystack, const std::u16string& needle)
{
    const auto* base = reinterpret_cast<const char*>(haystack.data());
    const std::size_t bytes = haystack.size() * 2;
    const std::size_t needleBytes = needle.size() * 2;
    std::size_t from = 0;
    while (from + needleBytes <= bytes) {
        const void* hit = ::memmem(base + from, bytes - from, needle.data(), needleBytes);
        if (!hit)
            return std::nullopt;
        const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
        if (at % 2 == 0)
            return at / 2;
        from = at + 1;
    }
    return std::nullopt;
}

bool isBreak(char16_t c)
{
    return c == u'\r' || c == u'\n';
}

} // namespace

DiarySearch::DiarySearch(const CaseFolding& folding)
{
    // Folding is one unit at a time, so the port's answer for every unit is the whole of it.
    std::u16string units(0x10000, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(i);
    m_table = folding.toLower(units);
}

void DiarySearch::fold(const std::u16string& text, std::u16string& out) const
{
    out.resize(text.size());
    const char16_t* table = m_table.data();
    for (std::size_t i = 0; i < text.size(); ++i)
        out[i] = table[text[i]];
}

std::optional<std::size_t> DiarySearch::find(const std::u16string& text, const std::u16string& word, bool matchCase)
{
    if (word.empty())
        return std::nullopt;
    if (matchCase)
        return findUnits(text, word);
    std::u16string foldedWord;
    fold(word, foldedWord);
    fold(text, m_folded);
    return findUnits(m_folded, foldedWord);
}

std::optional<SearchHit> DiarySearch::searchPage(const LocalDate& date, const std::u16string& text,
                                                 const std::u16string& word, bool matchCase)
{
    const auto at = find(text, word, matchCase);
    if (!at)
        return std::nullopt;
    std::size_t start = *at;
    while (start > 0 && !isBreak(text[start - 1]))
        --start;
    std::size_t end = *at;
    while (end < text.size() && !isBreak(text[end]))
        ++end;
    SearchHit hit {date, text.substr(start, end - start), *at - start, 0};
    hit.matchLength = std::min(word.size(), end - *at); // a word with a line break ends at the line's end
    return hit;
}

SearchSummary DiarySearch::searchFolder(const Request& request, const std::function<void(const SearchHit&)>& onHit,
                                        const std::function<bool()>& shouldStop)
{
    SearchSummary summary;
    auto pages = listPages(request.folder);
    if (!pages)
        return summary;
    summary.folderRead = true;
    if (request.order == SearchOrder::NewestFirst)
        std::reverse(pages->begin(), pages->end());
    for (const DatedPage& page : *pages) {
        if (shouldStop && shouldStop()) {
            summary.stopped = true;
            break;
        }
        const LoadedPage loaded = readPageFile(page.path);
        if (loaded.state == PageFileState::Unreadable)
            summary.unreadable.push_back(page.path);
        if (loaded.state != PageFileState::Readable)
            continue;
        if (auto hit = searchPage(page.date, loaded.page.text, request.word, request.matchCase)) {
            ++summary.matchedDays;
            onHit(*hit);
        }
    }
    return summary;
}

} // namespace pagelet
