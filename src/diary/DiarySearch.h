#pragma once
#include "base/Day.h"
#include "base/UnitScan.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pagelet {

class CaseFolding;
class PageStore;

// One matching day: the line of its page's first match, without the line break.
struct SearchHit {
    LocalDate date;
    std::u16string line;
    std::size_t matchStart = 0; // in line
    std::size_t matchLength = 0;
};

struct SearchSummary {
    bool folderRead = false;               // false: the pages could not be listed
    bool stopped = false;                  // given up because shouldStop said so
    int matchedDays = 0;
    std::vector<std::u16string> unreadable; // pages that exist but could not be read
};

enum class SearchOrder { OldestFirst, NewestFirst };

// Searches every page of a diary for a word. Case is folded through the platform's port
// unit by unit, so a position in the folded text is the position in the page.
class DiarySearch {
public:
    explicit DiarySearch(const CaseFolding& folding);

    // The first match of word in text, as a position in text; an empty word matches nothing.
    std::optional<std::size_t> find(const std::u16string& text, const std::u16string& word, bool matchCase);
    std::optional<SearchHit> searchPage(const LocalDate& date, const std::u16string& text,
                                        const std::u16string& word, bool matchCase);
    std::optional<SearchHit> searchPage(const LocalDate& date, const std::u16string& text, const UnitFinder& finder);

    struct Request {
        std::u16string word;
        bool matchCase = false;
        SearchOrder order = SearchOrder::OldestFirst;
    };
    // Damaged pages are searched as far as they read; unreadable ones are listed and skipped.
    // Hits come in the days' order on the caller's thread; shouldStop is asked there before
    // every page it reads and while it waits for the pages read beside it.
    SearchSummary searchFolder(const PageStore& pages, const Request& request, const std::function<void(const SearchHit&)>& onHit,
                               const std::function<bool()>& shouldStop = {});

private:
    // The fold table is made at the first search that folds case: one that matches case
    // (a command-line search) never pays for it.
    const FoldTable* foldingFor(bool matchCase) const;

    const CaseFolding& m_folding;
};

} // namespace pagelet
