#pragma once
#include "base/SerialWorker.h"
#include "crypto/DiaryKey.h"
#include "state/StateFolder.h"
#include "store/PageStore.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <mutex>
#include <string>
#include <vector>

namespace pagelet {

// One kept version of a day's page or memo.
struct HistoryVersion {
    std::u16string name;     // the file's name in the history folder
    std::int64_t millis = 0; // when it was replaced, milliseconds since the epoch
    std::uint64_t size = 0;
};

// Older versions of pages and memos, kept on this machine under the state folder's "history":
// every version of the last 30 days, one per page and day before that, a memo's last 3, at most
// limit bytes in all (oldest go first), and the same bytes for a page only once.
class PageHistory : public PageKeeper {
public:
    using Clock = std::function<std::int64_t()>; // milliseconds since the epoch
    static constexpr std::uint64_t kDefaultLimit = 200ull << 20;

    explicit PageHistory(StateFolder folder, Clock clock = {}, std::uint64_t limit = kDefaultLimit);
    // Writes what is still queued before it goes.
    ~PageHistory() override;
    PageHistory(const PageHistory&) = delete;
    PageHistory& operator=(const PageHistory&) = delete;

    // Never fails the store's write: a version that can't be kept is only noted. The version is
    // written on the history's own thread, so a save waits only for the copy of its bytes.
    void keep(const LocalDate& date, bool memo, const Bytes& bytes) override;
    // Waits until every version handed over is written (or has failed). Every reader below
    // waits for it first.
    void flush() const;
    // The day's versions, newest first.
    std::vector<HistoryVersion> versions(const LocalDate& date, bool memo = false) const;
    std::optional<Bytes> read(const HistoryVersion& version) const;
    // True once, the first time a version could not be kept since this was made: a failure is
    // said once per run, not at every save.
    bool takeFailure();
    // Every sealed version opened back to its plain bytes, for a diary being decrypted; the
    // names of those that would not open (left as they were).
    std::vector<std::u16string> unsealAll(const DiaryKey& key);
    // Applies the keeping rules to every version, now.
    void thin();

    const std::u16string& folder() const { return m_folder; }
    // Called at the first failure instead of waiting for takeFailure, on the history's thread:
    // a window must hand it over to its own.
    std::function<void()> failed;

private:
    struct Entry {
        HistoryVersion version;
        std::u16string page; // "YYYYMMDD.dry" or "YYYYMMDD.wav"
    };
    // Every version, or the day's ("YYYYMMDD") only; with their sizes or without.
    std::vector<Entry> entries(bool sizes, const std::string& day = {}) const;
    // The page's versions left after its rules are applied.
    std::vector<Entry> thinPage(const std::u16string& page, std::vector<Entry> all, std::int64_t now);
    void keepWithin(std::vector<Entry> all);
    std::int64_t now() const;
    struct Job {
        LocalDate date;
        bool memo = false;
        Bytes bytes;
        std::int64_t millis = 0; // when it was handed over
    };
    // On the history's thread.
    void write(const Job& job);

    StateFolder m_state;
    std::u16string m_folder;
    Clock m_clock;
    std::uint64_t m_limit;
    std::optional<std::uint64_t> m_total; // bytes held, counted at the first keep
    std::optional<std::map<std::u16string, std::vector<Entry>>> m_index; // by page, read at the first keep
    bool m_ensured = false;
    bool m_failed = false; // under m_mutex once the thread runs
    bool m_told = false;
    mutable std::mutex m_mutex;
    // Last: it goes first, finishing its writes while everything they use is still here.
    SerialWorker m_worker;
};

} // namespace pagelet
