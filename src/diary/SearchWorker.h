#pragma once
#include "diary/DiarySearch.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace pagelet {

// Runs one folder search at a time on its own thread, so a window stays free while every year
// is read. A new start gives up the running search before its next page.
class SearchWorker {
public:
    // Called on the worker's thread with the number start() returned.
    struct Events {
        std::function<void(std::uint64_t search, const SearchHit& hit)> hit;
        std::function<void(std::uint64_t search, const SearchSummary& summary)> done;
    };

    SearchWorker(const CaseFolding& folding, Events events);
    ~SearchWorker(); // gives up the running search and waits for the thread
    SearchWorker(const SearchWorker&) = delete;
    SearchWorker& operator=(const SearchWorker&) = delete;

    // The worker reads pages while the window goes on: it shares the store it searches.
    std::uint64_t start(std::shared_ptr<const PageStore> pages, const DiarySearch::Request& request);
    // Gives up the running search; nothing more is reported for it.
    void cancel();
    std::uint64_t current() const { return m_generation; }

private:
    void run();

    DiarySearch m_search;
    Events m_events;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    struct Job {
        std::shared_ptr<const PageStore> pages;
        DiarySearch::Request request;
    };
    std::optional<Job> m_job;
    std::atomic<std::uint64_t> m_generation {0};
    bool m_quit = false;
    std::thread m_thread; // last: it starts once everything above is ready
};

} // namespace pagelet
