#include "diary/DiarySearch.h"

#include "base/UnitScan.h"
#include "diary/PageFile.h"
#include "diary/PageFolder.h"
#include "platform/CaseFolding.h"

#include <algorithm>
#include <cstring>

namespace pagelet {

namespace {

constexpr char16_t kSyllablesFirst = 0xAC00;
constexpr char16_t kSyllablesLast = 0xD7A3;

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
    if (m_table.size() != units.size())
        m_table = units; // a port that broke its promise: exact matching rather than a bad read
    // Most pages are ASCII and Hangul syllables; when the port folds those plainly, whole runs of
    // them fold without the table.
    m_plainFold = true;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const bool ascii = i < 0x80;
        const bool syllable = i >= kSyllablesFirst && i <= kSyllablesLast;
        if ((ascii && m_table[i] != (i >= u'A' && i <= u'Z' ? i + 32 : i)) || (syllable && m_table[i] != i))
            m_plainFold = false;
    }
}

void DiarySearch::fold(const std::u16string& text, std::u16string& out) const
{
    out.resize(text.size());
    foldUnits(text, out.data(), m_table.data(), m_plainFold);
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
