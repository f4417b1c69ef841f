#pragma once
// The crash journal: the page being written, kept under the state folder until it is stored or
// given up, so a crash, a kill or a power cut costs at most the last moments of typing. One file
// a day ("YYYYMMDD.dry", the page format itself), written atomically on a thread of its own so
// the keystroke path never waits for the disk. An encrypted diary's journal is sealed with its key.
#include "base/Day.h"
#include "base/SerialWorker.h"
#include "crypto/DiaryKey.h"
#include "state/StateFolder.h"
#include "store/PageFormat.h"

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

namespace pagelet {

class CrashJournal {
public:
    explicit CrashJournal(StateFolder folder, std::optional<DiaryKey> key = std::nullopt);
    // Every sealed journal file of folder opened back to its plain bytes, for a diary being
    // decrypted; the names of those that would not open (left as they were).
    static std::vector<std::u16string> unsealAll(const StateFolder& folder, const DiaryKey& key);
    // Writes what is still queued before it goes.
    ~CrashJournal();
    CrashJournal(const CrashJournal&) = delete;
    CrashJournal& operator=(const CrashJournal&) = delete;

    // Queues day's page; a newer page of the same day queued before it was written replaces it.
    void keep(const LocalDate& date, Page page);
    // Queues the removal of day's journal: its page was stored, or its change given up.
    void drop(const LocalDate& date);
    // Waits until everything queued is done; false when the last write of a day failed.
    bool flush();

    struct Entry {
        LocalDate date;
        Page page;
    };
    // What an earlier run left, oldest day first; files that don't decode are passed over.
    std::vector<Entry> pending() const;

private:
    std::u16string nameOf(const LocalDate& date) const;
    void done(bool succeeded);
    // Whether the day may have a file here (under m_mutex).
    bool mayHold(const std::u16string& day);

    Bytes fileBytes(const LocalDate& date, const Page& page) const;

    StateFolder m_folder;
    std::optional<DiaryKey> m_key;
    std::mutex m_mutex;
    std::map<std::u16string, Page> m_latest; // by day key: pages waiting for the thread
    std::map<std::u16string, unsigned> m_drops; // by day key: drops so far
    std::set<std::u16string> m_held;            // day keys that may have a file
    bool m_scanned = false;                     // the folder was looked at for earlier runs' files
    bool m_failed = false;                    // the last write or removal failed
    // Last: it goes first, finishing its writes while everything they use is still here.
    SerialWorker m_worker;
};

} // namespace pagelet
