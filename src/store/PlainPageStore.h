#pragma once
#include "store/DayFileName.h"
#include "store/PageStore.h"

#include <string>

namespace pagelet {

// Pages and memos as plain files in one data folder: "YYYYMMDD.dry" and "YYYYMMDD.wav".
class PlainPageStore : public PageStore {
public:
    // folder ends in "/", or is empty for the working folder.
    explicit PlainPageStore(std::u16string folder = {});

    const std::u16string& folder() const { return m_folder; }
    void setFolder(std::u16string folder);

    std::optional<std::vector<LocalDate>> listDays() const override;
    std::vector<LocalDate> listMemoDays() const override;
    bool hasPage(const LocalDate& date) const override;
    PageCheck probe(const LocalDate& date) const override;
    PageCheck readInto(const LocalDate& date, Page& page, PageStamp* stamp = nullptr) const override;
    StoreResult write(const LocalDate& date, const Page& page, PageStamp* stamp = nullptr) override;
    PageStamp stampOf(const LocalDate& date) const override;
    std::vector<std::u16string> conflictCopies(const LocalDate& date) const override;
    LoadedPage readCopy(const std::u16string& name) const override;
    bool removeCopy(const std::u16string& name) override;
    bool remove(const LocalDate& date) override;
    std::u16string memoPath(const LocalDate& date) const override;
    bool hasMemo(const LocalDate& date) const override;
    bool removeMemo(const LocalDate& date) override;
    void keepMemo(const LocalDate& date) override { keepOld(date, true); }
    std::unique_ptr<MemoDraft> draftMemo(const LocalDate& date) override;
    std::optional<Bytes> readMemo(const LocalDate& date, std::size_t maxBytes) const override;
    PageStamp memoStamp(const LocalDate& date) const override;
    MemoSnapshot snapshotMemo(const LocalDate& date, std::size_t heldBytes) const override;
    bool keepReplacedMemo(const LocalDate& date, const MemoSnapshot& was) const override;
    std::vector<std::u16string> memoConflictCopies(const LocalDate& date) const override;
    bool takeMemoCopy(const LocalDate& date, const std::u16string& name) override;
    bool dropMemoCopy(const LocalDate& date, const std::u16string& name) override;
    std::optional<std::vector<std::u16string>> keptFiles() const override;
    std::unique_ptr<ReadableFile> openKept(const std::u16string& name, std::uint64_t maxBytes) const override;
    std::u16string pageLocation(const LocalDate& date) const override;
    bool holds(const std::u16string& path) const override;

    std::u16string pagePath(const LocalDate& date) const;

protected:
    // The bytes a page or memo holds now, as they are on disk, to the keeper.
    void keepOld(const LocalDate& date, bool memo) const;
    // Hands a page's or memo's bytes as they were on disk to the keeper, in the form it keeps.
    virtual void keepVersion(const LocalDate& date, bool memo, const Bytes& onDisk) const;

private:
    bool exists(const LocalDate& date, DayFileKind kind) const;
    // The day's file as the file system takes it; the digits are ASCII, so only the folder
    // needed converting, once.
    std::string pathBytes(const LocalDate& date, DayFileKind kind) const;
    // The copies of the day's file named "YYYYMMDD" + extension.
    std::vector<std::u16string> copiesOf(const LocalDate& date, const std::u16string& extension) const;
    bool isMemoCopy(const LocalDate& date, const std::u16string& name) const;

    std::u16string m_folder;
    std::string m_folderUtf8; // the day marks test 31 names in a row
};

// The day whose memo in store the file at path is, when it is one.
std::optional<LocalDate> memoDateOf(const PageStore& store, const std::u16string& path);
// True when name is one of the files a data folder's diary is kept in (see keptFiles).
bool isDiaryFileName(const std::u16string& name);

} // namespace pagelet
