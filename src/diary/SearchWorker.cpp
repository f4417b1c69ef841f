#include "diary/SearchWorker.h"

namespace pagelet {

SearchWorker::SearchWorker(const CaseFolding& folding, Events events)
    : m_search(folding), m_events(std::move(events)), m_thread([this] { run(); })
{
}

SearchWorker::~SearchWorker()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        ++m_generation;
    }
    m_wake.notify_one();
    m_thread.join();
}

std::uint64_t SearchWorker::start(std::shared_ptr<const PageStore> pages, const DiarySearch::Request& request)
{
    std::uint64_t search = 0;
    {
        std::lock_guard lock(m_mutex);
        search = ++m_generation;
        m_job = Job {std::move(pages), request};
    }
    m_wake.notify_one();
    return search;
}

void SearchWorker::cancel()
{
    std::lock_guard lock(m_mutex);
    ++m_generation;
    m_job.reset();
}

void SearchWorker::run()
{
    for (;;) {
        Job job;
        std::uint64_t search = 0;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || m_job; });
            if (m_quit)
                return;
            job = std::move(*m_job);
            m_job.reset();
            search = m_generation;
        }
        auto stale = [this, search] { return m_generation != search; };
        const SearchSummary summary = m_search.searchFolder(
            *job.pages, job.request,
            [&](const SearchHit& hit) {
                if (!stale())
                    m_events.hit(search, hit);
            },
            stale);
        if (!summary.stopped && !stale())
            m_events.done(search, summary);
    }
}

} // namespace pagelet
