#include "state/PageHistory.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "crypto/SealedFile.h"
#include "crypto/SodiumCalls.h"
#include "state/Sha256.h"
#include "store/DayFileName.h"
#include "store/DayKey.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <map>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pagelet {

namespace {

constexpr std::int64_t kDayMillis = 24ll * 60 * 60 * 1000;
constexpr std::int64_t kEveryVersionMillis = 30 * kDayMillis;
constexpr std::size_t kMemoVersions = 3;

// "YYYYMMDD-MMMMMMMMMMMMM-HHHHHHHHHHHHHHHH.dry": the day, when it was replaced (so names sort
// by time), and the start of its bytes' SHA-256, so equal bytes are found without reading them.
std::u16string versionName(const std::u16string& page, std::int64_t millis, const std::string& sum)
{
    char digits[24];
    std::snprintf(digits, sizeof digits, "-%013lld-", static_cast<long long>(millis));
    return page.substr(0, 8) + fromAscii(digits) + fromAscii(sum.substr(0, 16)) + page.substr(8);
}

std::u16string sumOf(const std::u16string& name)
{
    return name.substr(23, 16);
}

bool parseName(const std::u16string& name, std::u16string& page, std::int64_t& millis)
{
    if (name.size() != 43 || name[8] != u'-' || name[22] != u'-' || name[39] != u'.')
        return false;
    for (std::size_t i = 23; i < 39; ++i)
        if (!((name[i] >= u'0' && name[i] <= u'9') || (name[i] >= u'a' && name[i] <= u'f')))
            return false;
    millis = 0;
    for (std::size_t i = 0; i < 22; ++i) {
        if (i == 8)
            continue;
        if (name[i] < u'0' || name[i] > u'9')
            return false;
        if (i > 8)
            millis = millis * 10 + (name[i] - u'0');
    }
    page = name.substr(0, 8) + name.substr(39);
    const auto file = parseDayFileName(page);
    return file && !file->conflictCopy;
}

// Unlike a page, a kept version is not synced nor renamed into place: a save must not pay
// twice for it. A crash may cut the newest version short, and its name's sum then tells it
// apart (see read).
bool writeVersion(const std::u16string& path, const Bytes& bytes)
{
    const std::string target = toUtf8(path);
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 || done != bytes.size()) {
        ::unlink(target.c_str());
        return false;
    }
    return true;
}

bool newerFirst(const HistoryVersion& a, const HistoryVersion& b)
{
    return a.millis > b.millis;
}

} // namespace

PageHistory::PageHistory(StateFolder folder, Clock clock, std::uint64_t limit)
    : m_state(std::move(folder)), m_folder(m_state.folder(u"history")), m_clock(std::move(clock)), m_limit(limit)
{
}

PageHistory::~PageHistory() = default;

void PageHistory::flush() const
{
    m_worker.flush();
}

void PageHistory::keep(const LocalDate& date, bool memo, const Bytes& bytes)
{
    m_worker.post([this, job = Job {date, memo, bytes, now()}] { write(job); });
}

std::int64_t PageHistory::now() const
{
    if (m_clock)
        return m_clock();
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::vector<PageHistory::Entry> PageHistory::entries(bool sizes, const std::string& day) const
{
    std::vector<Entry> all;
    const std::string folder = toUtf8(m_folder);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return all;
    while (dirent* e = ::readdir(dir)) {
        // Only one day's versions are wanted at a save: the rest are passed over by their names.
        if (!day.empty() && std::strncmp(e->d_name, day.c_str(), day.size()) != 0)
            continue;
        Entry entry;
        entry.version.name = fromUtf8(e->d_name);
        if (!parseName(entry.version.name, entry.page, entry.version.millis))
            continue;
        if (sizes) {
            struct stat st {};
            if (::stat((folder + e->d_name).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                continue;
            entry.version.size = static_cast<std::uint64_t>(st.st_size);
        }
        all.push_back(std::move(entry));
    }
    ::closedir(dir);
    return all;
}

void PageHistory::write(const Job& job)
{
    const Bytes& bytes = job.bytes;
    const std::u16string page = dayFileName(job.date, job.memo ? DayFileKind::Memo : DayFileKind::Page);
    // The folder is read once a run; after that a save looks only at what this run knows, so
    // it costs the same with a year of versions kept as with none.
    if (!m_index) {
        m_index.emplace();
        m_total = 0;
        for (Entry& entry : entries(true)) {
            *m_total += entry.version.size;
            (*m_index)[entry.page].push_back(std::move(entry));
        }
    }
    std::vector<Entry>& same = (*m_index)[page];
    const std::string sum = Sha256::of(bytes.data(), bytes.size());
    // The same bytes once: saving an unchanged page again adds nothing to look through.
    const std::u16string shortSum = fromAscii(sum.substr(0, 16));
    if (std::any_of(same.begin(), same.end(), [&](const Entry& e) { return sumOf(e.version.name) == shortSum; }))
        return;
    std::int64_t millis = job.millis;
    while (std::any_of(same.begin(), same.end(), [&](const Entry& e) { return e.version.millis == millis; }))
        ++millis;
    const std::u16string name = versionName(page, millis, sum);
    if (!(m_ensured || (m_ensured = m_state.ensure(u"history"))) || !writeVersion(m_folder + name, bytes)) {
        bool tell = false;
        {
            std::lock_guard lock(m_mutex);
            m_failed = true;
            tell = failed && !m_told;
            m_told = m_told || tell;
        }
        if (tell)
            failed();
        return;
    }
    *m_total += bytes.size();
    same.push_back({{name, millis, bytes.size()}, page});
    same = thinPage(page, std::move(same), job.millis);
    if (*m_total > m_limit) {
        keepWithin(entries(true));
        m_index.reset();
    }
}

std::vector<PageHistory::Entry> PageHistory::thinPage(const std::u16string& page, std::vector<Entry> all, std::int64_t now)
{
    std::sort(all.begin(), all.end(), [](const Entry& a, const Entry& b) { return newerFirst(a.version, b.version); });
    const auto file = parseDayFileName(page);
    const bool memo = file && file->kind == DayFileKind::Memo;
    std::map<std::u16string, bool> daysSeen;
    std::vector<Entry> kept;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const HistoryVersion& version = all[i].version;
        bool drop = false;
        if (memo) {
            drop = i >= kMemoVersions;
        } else if (version.millis < now - kEveryVersionMillis) {
            // Newest first, so the first of each local day is the one that stays.
            const std::u16string day = makeDateKey(static_cast<DayValue>(version.millis / 1000));
            drop = !daysSeen.emplace(day, true).second;
        }
        if (drop && removeFile(m_folder + version.name)) {
            if (m_total)
                *m_total -= std::min(*m_total, version.size);
            continue;
        }
        kept.push_back(std::move(all[i]));
    }
    return kept;
}

void PageHistory::keepWithin(std::vector<Entry> all)
{
    std::sort(all.begin(), all.end(), [](const Entry& a, const Entry& b) { return newerFirst(b.version, a.version); });
    std::uint64_t total = 0;
    for (const Entry& entry : all)
        total += entry.version.size;
    for (const Entry& entry : all) {
        if (total <= m_limit)
            break;
        if (removeFile(m_folder + entry.version.name))
            total -= entry.version.size;
    }
    m_total = total;
}

void PageHistory::thin()
{
    flush();
    std::map<std::u16string, std::vector<Entry>> byPage;
    for (Entry& entry : entries(true))
        byPage[entry.page].push_back(std::move(entry));
    const std::int64_t at = now();
    for (auto& [page, list] : byPage)
        thinPage(page, std::move(list), at);
    keepWithin(entries(true));
    m_index.reset();
}

std::vector<HistoryVersion> PageHistory::versions(const LocalDate& date, bool memo) const
{
    flush();
    const std::u16string page = dayFileName(date, memo ? DayFileKind::Memo : DayFileKind::Page);
    std::vector<HistoryVersion> list;
    for (Entry& entry : entries(true))
        if (entry.page == page)
            list.push_back(std::move(entry.version));
    std::sort(list.begin(), list.end(), newerFirst);
    return list;
}

std::optional<Bytes> PageHistory::read(const HistoryVersion& version) const
{
    flush();
    auto bytes = readFile(m_folder + version.name);
    // A version cut short by a crash is not handed out as if it were whole.
    if (bytes && version.name.size() == 43 && fromAscii(Sha256::of(bytes->data(), bytes->size()).substr(0, 16)) != sumOf(version.name))
        return std::nullopt;
    return bytes;
}

std::vector<std::u16string> PageHistory::unsealAll(const DiaryKey& key)
{
    flush();
    std::vector<std::u16string> kept;
    for (const Entry& entry : entries(false)) {
        const auto bytes = readFile(m_folder + entry.version.name);
        const auto file = parseDayFileName(entry.page);
        if (!bytes || !file || !looksSealed(*bytes))
            continue;
        const SealedKind kind = file->kind == DayFileKind::Memo ? SealedKind::MemoVersion : SealedKind::PageVersion;
        auto plain = openSealed(key, file->date, kind, *bytes);
        // The name holds the bytes' sum: the plain version gets a name of its own.
        const std::u16string name =
            plain ? versionName(entry.page, entry.version.millis, Sha256::of(plain->data(), plain->size())) : std::u16string();
        if (!plain || (!isFile(m_folder + name) && !writeVersion(m_folder + name, *plain)) ||
            !removeFile(m_folder + entry.version.name))
            kept.push_back(entry.version.name);
        if (plain)
            libsodium().sodium_memzero(plain->data(), plain->size());
    }
    m_index.reset();
    m_total.reset();
    return kept;
}

bool PageHistory::takeFailure()
{
    flush();
    std::lock_guard lock(m_mutex);
    if (!m_failed || m_told)
        return false;
    m_told = true;
    return true;
}

} // namespace pagelet
