#include "state/CrashJournal.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "crypto/SealedFile.h"
#include "store/DayKey.h"

#include <algorithm>
#include <dirent.h>
#include <tuple>

namespace pagelet {

namespace {
constexpr std::u16string_view kKind = u"journal";
}

CrashJournal::CrashJournal(StateFolder folder, std::optional<DiaryKey> key) : m_folder(std::move(folder)), m_key(std::move(key))
{
}

Bytes CrashJournal::fileBytes(const LocalDate& date, const Page& page) const
{
    Bytes plain = encodePage(page);
    return m_key ? sealFile(*m_key, date, SealedKind::Page, plain) : plain;
}

CrashJournal::~CrashJournal()
{
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

std::u16string CrashJournal::nameOf(const LocalDate& date) const
{
    return makeDateKey(date) + u".dry";
}

void CrashJournal::keep(const LocalDate& date, Page page)
{
    {
        std::lock_guard lock(m_mutex);
        // Started at the first page kept: a run that never writes never has the thread.
        if (!m_thread.joinable())
            m_thread = std::thread(&CrashJournal::run, this);
        const auto same = std::find_if(m_jobs.begin(), m_jobs.end(), [&](const Job& job) { return job.date == date; });
        if (same != m_jobs.end() && same->page)
            same->page = std::move(page);
        else
            m_jobs.push_back({date, std::move(page)});
    }
    m_wake.notify_one();
}

void CrashJournal::drop(const LocalDate& date)
{
    {
        std::lock_guard lock(m_mutex);
        // Nothing was ever kept: there is no file to remove and no thread to wake.
        if (!m_thread.joinable()) {
            removeFile(m_folder.folder(kKind) + nameOf(date));
            return;
        }
        // A queued page of that day would only be written to be removed.
        std::erase_if(m_jobs, [&](const Job& job) { return job.date == date; });
        m_jobs.push_back({date, std::nullopt});
    }
    m_wake.notify_one();
}

bool CrashJournal::flush()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
    return !m_failed;
}

void CrashJournal::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
        if (m_jobs.empty())
            return;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();
        const std::u16string name = nameOf(job.date);
        const bool done = job.page ? m_folder.write(kKind, name, fileBytes(job.date, *job.page))
                                   : (removeFile(m_folder.folder(kKind) + name) || !isFile(m_folder.folder(kKind) + name));
        lock.lock();
        m_busy = false;
        m_failed = !done;
        if (m_jobs.empty())
            m_idle.notify_all();
    }
}

std::vector<CrashJournal::Entry> CrashJournal::pending() const
{
    std::vector<Entry> entries;
    const std::u16string folder = m_folder.folder(kKind);
    DIR* dir = ::opendir(toUtf8(folder).c_str());
    if (!dir)
        return entries;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() != 12 || !name.ends_with(".dry") ||
            !std::all_of(name.begin(), name.begin() + 8, [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const LocalDate date {std::stoi(name.substr(0, 4)), std::stoi(name.substr(4, 2)), std::stoi(name.substr(6, 2))};
        if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > daysInMonth(date.year, date.month))
            continue;
        const auto bytes = readFile(folder + fromUtf8(name), kPageFileLimit);
        if (!bytes)
            continue;
        // Sealed only opens with the key; a plain one left from before encrypting still reads.
        std::optional<Bytes> plain;
        if (looksSealed(*bytes)) {
            if (m_key)
                plain = openSealed(*m_key, date, SealedKind::Page, *bytes);
        } else {
            plain = std::move(*bytes);
        }
        if (!plain)
            continue;
        if (auto page = decodePage(*plain))
            entries.push_back({date, std::move(*page)});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return std::tie(a.date.year, a.date.month, a.date.day) < std::tie(b.date.year, b.date.month, b.date.day);
    });
    return entries;
}

} // namespace pagelet
