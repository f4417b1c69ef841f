#pragma once
#include "crypto/DiaryKey.h"
#include "store/PlainPageStore.h"

#include <map>

namespace pagelet {

// The pages and memos of an encrypted data folder: the same file names, each file sealed with
// the diary key, its diary's id and its day. A plain file found there (synced from a machine
// not converted yet) reads as plain and is sealed at its next store, until the key file says a
// conversion ended: from then on a plain page or memo was put there by someone without the key,
// and is only offered as a conflict copy of its day.
class EncryptedPageStore : public PlainPageStore {
public:
    EncryptedPageStore(std::u16string folder, DiaryKey key);

    PageCheck probe(const LocalDate& date) const override;
    PageCheck readInto(const LocalDate& date, Page& page, PageStamp* stamp = nullptr) const override;
    StoreResult write(const LocalDate& date, const Page& page, PageStamp* stamp = nullptr) override;
    LoadedPage readCopy(const std::u16string& name) const override;
    std::optional<Bytes> readMemo(const LocalDate& date, std::size_t maxBytes) const override;
    std::unique_ptr<MemoDraft> draftMemo(const LocalDate& date) override;
    std::optional<Page> pageOfFileBytes(const LocalDate& date, const Bytes& bytes) const override;
    void keepUnstored(const LocalDate& date, const Page& page) override;
    std::vector<std::u16string> conflictCopies(const LocalDate& date) const override;
    bool removeCopy(const std::u16string& name) override;
    std::vector<std::u16string> memoConflictCopies(const LocalDate& date) const override;
    bool takeMemoCopy(const LocalDate& date, const std::u16string& name) override;
    bool dropMemoCopy(const LocalDate& date, const std::u16string& name) override;
    bool untrusted(const std::u16string& name) const override;
    // A conversion just ended (plain files found from now on are not the diary's) or a
    // decryption began.
    void noteConversion(bool ended) { m_key.setDiary(m_key.diaryId(), ended); }

    const DiaryKey& key() const { return m_key; }

protected:
    void keepVersion(const LocalDate& date, bool memo, const Bytes& onDisk) const override;

private:
    PageCheck readFileInto(const std::u16string& path, const std::optional<LocalDate>& day, Page& page,
                           PageStamp* stamp, bool copy) const;
    bool untrustedPath(const std::u16string& path) const;
    // A plain page or memo copy sealed into the day's file.
    bool sealCopyInto(const LocalDate& date, const std::u16string& copy, const std::u16string& target);

    DiaryKey m_key;
    // Untrusted plain pages moved to a conflict copy's name when their day was written, by the
    // name they were offered under.
    std::map<std::u16string, std::u16string> m_setAside;
};

} // namespace pagelet
