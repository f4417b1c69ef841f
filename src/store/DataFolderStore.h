#pragma once
#include "store/PlainPageStore.h"

#include <memory>

namespace pagelet {

// The window's store: whichever store the current data folder needs (plain, or sealed with its
// key), behind one object that the editor, the watch and the menus keep for the whole run.
// Observers of this object hear of the changes of every store it passed to.
class DataFolderStore : public PageStore, private PageObserver {
public:
    DataFolderStore();
    ~DataFolderStore() override;

    // The store now in use; its keeper is set on it.
    void use(std::unique_ptr<PlainPageStore> store);
    PlainPageStore& current() { return *m_store; }
    const PlainPageStore& current() const { return *m_store; }

    std::optional<std::vector<LocalDate>> listDays() const override { return m_store->listDays(); }
    std::vector<LocalDate> listMemoDays() const override { return m_store->listMemoDays(); }
    bool hasPage(const LocalDate& date) const override { return m_store->hasPage(date); }
    PageCheck probe(const LocalDate& date) const override { return m_store->probe(date); }
    PageCheck readInto(const LocalDate& date, Page& page, PageStamp* stamp = nullptr) const override
    {
        return m_store->readInto(date, page, stamp);
    }
    StoreResult write(const LocalDate& date, const Page& page, PageStamp* stamp = nullptr) override
    {
        return m_store->write(date, page, stamp);
    }
    PageStamp stampOf(const LocalDate& date) const override { return m_store->stampOf(date); }
    std::vector<std::u16string> conflictCopies(const LocalDate& date) const override { return m_store->conflictCopies(date); }
    LoadedPage readCopy(const std::u16string& name) const override { return m_store->readCopy(name); }
    bool removeCopy(const std::u16string& name) override { return m_store->removeCopy(name); }
    bool remove(const LocalDate& date) override { return m_store->remove(date); }
    std::u16string memoPath(const LocalDate& date) const override { return m_store->memoPath(date); }
    bool hasMemo(const LocalDate& date) const override { return m_store->hasMemo(date); }
    bool removeMemo(const LocalDate& date) override { return m_store->removeMemo(date); }
    void keepMemo(const LocalDate& date) override { m_store->keepMemo(date); }
    std::unique_ptr<MemoDraft> draftMemo(const LocalDate& date) override { return m_store->draftMemo(date); }
    std::optional<Bytes> readMemo(const LocalDate& date, std::size_t maxBytes) const override
    {
        return m_store->readMemo(date, maxBytes);
    }
    PageStamp memoStamp(const LocalDate& date) const override { return m_store->memoStamp(date); }
    MemoSnapshot snapshotMemo(const LocalDate& date, std::size_t heldBytes) const override
    {
        return m_store->snapshotMemo(date, heldBytes);
    }
    bool keepReplacedMemo(const LocalDate& date, const MemoSnapshot& was) const override
    {
        return m_store->keepReplacedMemo(date, was);
    }
    std::vector<std::u16string> memoConflictCopies(const LocalDate& date) const override
    {
        return m_store->memoConflictCopies(date);
    }
    bool takeMemoCopy(const LocalDate& date, const std::u16string& name) override { return m_store->takeMemoCopy(date, name); }
    bool dropMemoCopy(const LocalDate& date, const std::u16string& name) override { return m_store->dropMemoCopy(date, name); }
    std::optional<std::vector<std::u16string>> keptFiles() const override { return m_store->keptFiles(); }
    bool untrusted(const std::u16string& name) const override { return m_store->untrusted(name); }
    std::unique_ptr<ReadableFile> openKept(const std::u16string& name, std::uint64_t maxBytes) const override
    {
        return m_store->openKept(name, maxBytes);
    }
    std::u16string pageLocation(const LocalDate& date) const override { return m_store->pageLocation(date); }
    bool holds(const std::u16string& path) const override { return m_store->holds(path); }
    std::optional<Page> pageOfFileBytes(const LocalDate& date, const Bytes& bytes) const override
    {
        return m_store->pageOfFileBytes(date, bytes);
    }
    void keepUnstored(const LocalDate& date, const Page& page) override { m_store->keepUnstored(date, page); }

private:
    void pageChanged(const LocalDate& date) override { notifyChanged(date); }
    void changedOutside() override { noteOutsideChange(); }

    std::unique_ptr<PlainPageStore> m_store;
};

} // namespace pagelet
