#include "diary/DiarySearch.h"

#include "base/UnitScan.h"
#include "platform/CaseFolding.h"
#include "store/PageStore.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace pagelet {

namespace {

bool isBreak(char16_t c)
{
    return c == u'\r' || c == u'\n';
}

// The pages of a folder searched in blocks of days by the caller and one helper thread: reading
// a page costs far more than searching it, and opening a sealed page costs more again than a
// whole plain search. Hits and unreadable pages are handed on in the days' order, on the
// caller's thread, which alone asks whether to stop.
class FolderSweep {
public:
    FolderSweep(DiarySearch& search, const PageStore& pages, const UnitFinder& finder, const std::vector<LocalDate>& days)
        : m_search(search), m_pages(pages), m_finder(finder), m_days(days), m_blocks((days.size() + kBlockDays - 1) / kBlockDays)
    {
    }

    // False when shouldStop said so; what was handed on by then stays handed on.
    bool run(const std::function<bool()>& shouldStop, const std::function<void(const SearchHit&)>& onHit,
             std::vector<std::u16string>& unreadable)
    {
        const auto callerStops = [&] {
            if (shouldStop && shouldStop())
                m_stop = true;
            return m_stop.load();
        };
        std::thread helper;
        // Joined however run ends: a thread left running would end the program.
        struct Join {
            FolderSweep& sweep;
            std::thread& helper;
            ~Join()
            {
                sweep.m_stop = true;
                if (helper.joinable())
                    helper.join();
            }
        } join {*this, helper};
        if (m_blocks.size() > 1 && std::thread::hardware_concurrency() > 1) {
            try {
                helper = std::thread([this] { help(); });
            } catch (const std::system_error&) {
                // No thread to be had: the caller reads every block itself.
            }
        }
        Page stored; // one buffer for every page
        std::size_t handedOn = 0;
        for (;;) {
            for (; handedOn < m_blocks.size() && m_blocks[handedOn].done.load(std::memory_order_acquire); ++handedOn) {
                Block& block = m_blocks[handedOn];
                unreadable.insert(unreadable.end(), block.unreadable.begin(), block.unreadable.end());
                for (const SearchHit& hit : block.hits)
                    onHit(hit);
                block.hits = {};
                block.unreadable = {};
            }
            if (handedOn == m_blocks.size())
                return true;
            if (m_failed || callerStops())
                break;
            if (const std::size_t taken = m_next.fetch_add(1); taken < m_blocks.size()) {
                searchBlock(taken, stored, callerStops);
                continue;
            }
            // Every block is taken: the next one to hand on is the helper's.
            std::unique_lock lock(m_mutex);
            m_blockDone.wait_for(lock, std::chrono::milliseconds(20), [&] {
                return m_failed || m_blocks[handedOn].done.load(std::memory_order_acquire);
            });
        }
        m_stop = true;
        if (helper.joinable())
            helper.join();
        if (m_failure)
            std::rethrow_exception(m_failure);
        return false;
    }

private:
    static constexpr std::size_t kBlockDays = 32;

    struct Block {
        std::vector<SearchHit> hits;
        std::vector<std::u16string> unreadable;
        std::atomic<bool> done {false};
    };

    template <typename Stops>
    void searchBlock(std::size_t index, Page& stored, const Stops& stops)
    {
        Block& block = m_blocks[index];
        const std::size_t end = std::min(m_days.size(), (index + 1) * kBlockDays);
        for (std::size_t i = index * kBlockDays; i < end; ++i) {
            if (stops())
                return; // left undone: nothing after a stop is handed on
            const LocalDate& date = m_days[i];
            const PageFileState state = m_pages.readInto(date, stored).state;
            if (state == PageFileState::Unreadable)
                block.unreadable.push_back(m_pages.pageLocation(date));
            if (state != PageFileState::Readable)
                continue;
            if (auto hit = m_search.searchPage(date, stored.text, m_finder))
                block.hits.push_back(std::move(*hit));
        }
        std::lock_guard lock(m_mutex);
        block.done.store(true, std::memory_order_release);
        m_blockDone.notify_one();
    }

    void help()
    {
        try {
            Page stored;
            const auto stops = [this] { return m_stop.load(); };
            for (std::size_t taken; !stops() && (taken = m_next.fetch_add(1)) < m_blocks.size();)
                searchBlock(taken, stored, stops);
        } catch (...) {
            std::lock_guard lock(m_mutex);
            m_failure = std::current_exception();
            m_failed = true;
            m_blockDone.notify_one();
        }
    }

    DiarySearch& m_search;
    const PageStore& m_pages;
    const UnitFinder& m_finder;
    const std::vector<LocalDate>& m_days;
    std::deque<Block> m_blocks;
    std::atomic<std::size_t> m_next {0};
    std::atomic<bool> m_stop {false};
    std::mutex m_mutex;
    std::condition_variable m_blockDone;
    std::atomic<bool> m_failed {false};
    std::exception_ptr m_failure; // the helper's, rethrown on the caller's thread once it has ended
};

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
    FolderSweep sweep(*this, pages, finder, *days);
    summary.stopped = !sweep.run(shouldStop, [&](const SearchHit& hit) {
        ++summary.matchedDays;
        onHit(hit);
    }, summary.unreadable);
    return summary;
}

} // namespace pagelet
