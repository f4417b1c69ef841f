#pragma once
// The page store: the one place that knows where and how a day's page and voice memo are kept.
// Everything else asks it by date and never names a file of its own.
#include "base/ByteIo.h"
#include "base/Day.h"
#include "base/ReadableFile.h"
#include "store/MemoDraft.h"
#include "store/MemoSnapshot.h"
#include "store/PlainPageFile.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pagelet {

// Told after the store itself wrote or removed a day's page or memo.
class PageObserver {
public:
    virtual ~PageObserver() = default;
    virtual void pageChanged(const LocalDate& date) = 0;
    // Something in the store may have been changed by another writer (a sync tool, a second
    // machine); which day, if any, is not known.
    virtual void changedOutside() {}
};

// What another writer did to a page since this program read or wrote it.
enum class OutsideChange { None, Changed, Deleted };

struct OutsideCheck {
    OutsideChange change = OutsideChange::None;
    // What the page is now: read when the file's stamp changed, its stamp in any case.
    LoadedPage now;
};

// Given the bytes a page or memo held just before the store replaces or removes them, so an
// older version can be had back. It must not fail the store's own write.
class PageKeeper {
public:
    virtual ~PageKeeper() = default;
    virtual void keep(const LocalDate& date, bool memo, const Bytes& bytes) = 0;
};

class PageStore {
public:
    virtual ~PageStore() = default;

    // The days that have a page, readable or not, oldest first; nothing when the diary can't
    // be listed.
    virtual std::optional<std::vector<LocalDate>> listDays() const = 0;
    // The days that have a voice memo, with or without a page, oldest first.
    virtual std::vector<LocalDate> listMemoDays() const { return {}; }
    // True when something is kept as the day's page, whether it reads or not.
    virtual bool hasPage(const LocalDate& date) const = 0;
    // What is kept for the day, reading no more than the two numbers.
    virtual PageCheck probe(const LocalDate& date) const = 0;
    LoadedPage read(const LocalDate& date) const;
    // Into a page whose text's storage is kept: a search reads many pages through one buffer.
    virtual PageCheck readInto(const LocalDate& date, Page& page, PageStamp* stamp = nullptr) const = 0;
    // Stores the page, or removes it when its text is empty (see storePageFile).
    virtual StoreResult write(const LocalDate& date, const Page& page, PageStamp* stamp = nullptr) = 0;
    // The page file's stamp by one stat, without its hash.
    virtual PageStamp stampOf(const LocalDate& date) const = 0;
    // The page against its stamp when last read or written: one stat, and a read and hash only
    // when the stat differs.
    OutsideCheck checkOutside(const LocalDate& date, const PageStamp& known) const;

    // Copies of the day's page that sync tools keep when two machines changed it at once, by
    // name, and what they hold.
    virtual std::vector<std::u16string> conflictCopies(const LocalDate& date) const = 0;
    virtual LoadedPage readCopy(const std::u16string& name) const = 0;
    virtual bool removeCopy(const std::u16string& name) = 0;
    // The day's page and memo go together or neither does; true when neither is left.
    virtual bool remove(const LocalDate& date) = 0;

    // The memo's file, by which the recorder is told which day's memo it records.
    virtual std::u16string memoPath(const LocalDate& date) const = 0;
    virtual bool hasMemo(const LocalDate& date) const = 0;
    virtual bool removeMemo(const LocalDate& date) = 0;
    // The recorder is about to record over the day's memo: the memo as it is goes to the keeper
    // first.
    virtual void keepMemo(const LocalDate& date) = 0;
    // Where a new recording of the day's memo is written until it is finished; the store
    // decides how it is kept (plain as recorded, or sealed).
    virtual std::unique_ptr<MemoDraft> draftMemo(const LocalDate& date) = 0;
    // The memo's bytes as recorded, for a copy elsewhere; nothing when there is none, it can't
    // be read or it is larger than maxBytes.
    virtual std::optional<Bytes> readMemo(const LocalDate& date, std::size_t maxBytes) const = 0;
    // The memo file's stamp by one stat.
    virtual PageStamp memoStamp(const LocalDate& date) const = 0;
    // The memo as it is now, its bytes held in memory when there are no more than heldBytes.
    virtual MemoSnapshot snapshotMemo(const LocalDate& date, std::size_t heldBytes) const = 0;
    // A memo another writer replaced or removed, as it was, to the keeper; false when its bytes
    // were no longer to be had.
    virtual bool keepReplacedMemo(const LocalDate& date, const MemoSnapshot& was) const = 0;
    // Sync tools' copies of the day's memo, by name. Taking one makes it the memo, the memo it
    // replaces going to the keeper; dropping one gives it to the keeper and removes it. Either
    // is false, with the copy left where it was, when it could not be done.
    virtual std::vector<std::u16string> memoConflictCopies(const LocalDate& date) const = 0;
    virtual bool takeMemoCopy(const LocalDate& date, const std::u16string& name) = 0;
    virtual bool dropMemoCopy(const LocalDate& date, const std::u16string& name) = 0;

    // Every file the diary is kept in, by name: pages, memos, sync conflict copies of either and
    // an encrypted folder's key file; regular files only, never a link. Nothing when the diary
    // can't be listed.
    virtual std::optional<std::vector<std::u16string>> keptFiles() const = 0;
    // One of them opened as it is on disk (sealed or not), for a copy elsewhere; never through
    // a link.
    virtual std::unique_ptr<ReadableFile> openKept(const std::u16string& name, std::uint64_t maxBytes) const = 0;
    // Whether the data folder's file name is a plain page or memo that an encrypted diary does
    // not take as its own (it is offered as a conflict copy instead).
    virtual bool untrusted(const std::u16string& name) const;

    // Where the day's page is kept, as people read it in a message.
    virtual std::u16string pageLocation(const LocalDate& date) const = 0;
    // True when a file at path would lie among the pages themselves.
    virtual bool holds(const std::u16string& path) const = 0;

    // What this store's reader makes of a page file's bytes kept elsewhere (a version in the
    // history, given to the keeper as they were on disk); nothing when they read as no page.
    virtual std::optional<Page> pageOfFileBytes(const LocalDate& date, const Bytes& bytes) const;

    // A page never stored (the text being written, before a restore replaces it) goes to the
    // keeper as an older version, in the file form this store writes.
    virtual void keepUnstored(const LocalDate& date, const Page& page);

    // Told of every page and memo before it is replaced or removed; none by default.
    void setKeeper(PageKeeper* keeper) { m_keeper = keeper; }

    void addObserver(PageObserver& observer);
    void removeObserver(PageObserver& observer);
    // The platform's watch of the store saw a change.
    void noteOutsideChange() const;

protected:
    void notifyChanged(const LocalDate& date) const;
    PageKeeper* keeper() const { return m_keeper; }

private:
    std::vector<PageObserver*> m_observers;
    PageKeeper* m_keeper = nullptr;
};

} // namespace pagelet
