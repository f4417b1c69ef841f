#pragma once
// One thread that runs the jobs handed to it, in order, so the caller never waits for the disk.
// The thread starts at the first job: a run that hands over nothing never has one.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace pagelet {

class SerialWorker {
public:
    SerialWorker() = default;
    // Runs what is still queued, then stops.
    ~SerialWorker();
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    void post(std::function<void()> job);
    // Waits until every job posted so far has run.
    void flush() const;

private:
    void run();

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_wake, m_idle;
    std::deque<std::function<void()>> m_jobs;
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace pagelet
