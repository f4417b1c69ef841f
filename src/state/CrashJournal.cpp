#include "state/CrashJournal.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "crypto/SealedFile.h"
#include "crypto/SodiumCalls.h"
#include "store/DayFileName.h"
#include "store/DayKey.h"
#include "store/PageFormat.h"

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
    return m_key ? sealFile(*m_key, date, SealedKind::Journal, plain) : plain;
}

CrashJournal::~CrashJournal() = default;

std::u16string CrashJournal::nameOf(const LocalDate& date) const
{
    return dayFileName(date, DayFileKind::Page);
}

void CrashJournal::keep(const LocalDate& date, Page page)
{
    unsigned drops = 0;
    {
        std::lock_guard lock(m_mutex);
        m_latest[makeDateKey(date)] = std::move(page);
        m_held.insert(makeDateKey(date));
        drops = m_drops[makeDateKey(date)];
    }
    // Each job writes the newest page of its day, if one is still waiting: keeps faster than the
    // disk cost one write, not one each. A job kept before a drop leaves the page kept after
    // it to the later job, which comes after the removal.
    m_worker.post([this, date, drops] {
        std::optional<Page> page;
        {
            std::lock_guard lock(m_mutex);
            const auto latest = m_latest.find(makeDateKey(date));
            if (latest == m_latest.end() || m_drops[makeDateKey(date)] != drops)
                return;
            page = std::move(latest->second);
            m_latest.erase(latest);
        }
        done(m_folder.write(kKind, nameOf(date), fileBytes(date, *page)));
    });
}

void CrashJournal::drop(const LocalDate& date)
{
    {
        std::lock_guard lock(m_mutex);
        // Every store drops its day: one that has no file costs nothing, not even a system call.
        if (!mayHold(makeDateKey(date)))
            return;
        m_held.erase(makeDateKey(date));
        // A page of that day still waiting would only be written to be removed.
        m_latest.erase(makeDateKey(date));
        ++m_drops[makeDateKey(date)];
    }
    m_worker.post([this, date] {
        const std::u16string path = m_folder.folder(kKind) + nameOf(date);
        done(removeFile(path) || !isFile(path));
    });
}

bool CrashJournal::mayHold(const std::u16string& day)
{
    // What earlier runs left is looked at once, at the first drop.
    if (!m_scanned) {
        m_scanned = true;
        if (DIR* dir = ::opendir(toUtf8(m_folder.folder(kKind)).c_str())) {
            while (const dirent* e = ::readdir(dir))
                if (const auto date = pageDateOf(fromUtf8(e->d_name)))
                    m_held.insert(makeDateKey(*date));
            ::closedir(dir);
        }
    }
    return m_held.contains(day);
}

void CrashJournal::done(bool succeeded)
{
    std::lock_guard lock(m_mutex);
    m_failed = !succeeded;
}

bool CrashJournal::flush()
{
    m_worker.flush();
    std::lock_guard lock(m_mutex);
    return !m_failed;
}

std::vector<std::u16string> CrashJournal::unsealAll(const StateFolder& state, const DiaryKey& key)
{
    std::vector<std::u16string> kept;
    const std::u16string folder = state.folder(kKind);
    DIR* dir = ::opendir(toUtf8(folder).c_str());
    if (!dir)
        return kept;
    while (const dirent* e = ::readdir(dir)) {
        const std::u16string name = fromUtf8(e->d_name);
        const auto day = pageDateOf(name);
        const auto bytes = day ? readFile(folder + name, kPageFileLimit) : std::nullopt;
        if (!bytes || !looksSealed(*bytes))
            continue;
        auto plain = openSealed(key, *day, SealedKind::Journal, *bytes);
        if (!plain || !writeFileAtomic(folder + name, *plain))
            kept.push_back(name);
        if (plain)
            libsodium().sodium_memzero(plain->data(), plain->size());
    }
    ::closedir(dir);
    return kept;
}

std::vector<CrashJournal::Entry> CrashJournal::pending() const
{
    std::vector<Entry> entries;
    const std::u16string folder = m_folder.folder(kKind);
    DIR* dir = ::opendir(toUtf8(folder).c_str());
    if (!dir)
        return entries;
    while (const dirent* e = ::readdir(dir)) {
        // Named as the day's page is: the store's reader of page names decides which day.
        const std::u16string name = fromUtf8(e->d_name);
        const auto day = pageDateOf(name);
        if (!day)
            continue;
        const LocalDate date = *day;
        const auto bytes = readFile(folder + name, kPageFileLimit);
        if (!bytes)
            continue;
        // Sealed only opens with the key; a plain one left from before encrypting still reads.
        std::optional<Bytes> plain;
        if (looksSealed(*bytes)) {
            if (m_key)
                plain = openSealed(*m_key, date, SealedKind::Journal, *bytes);
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
