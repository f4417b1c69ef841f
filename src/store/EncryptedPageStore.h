#pragma once
#include "crypto/DiaryKey.h"
#include "store/PlainPageStore.h"

namespace pagelet {

// The pages and memos of an encrypted data folder: the same file names, each file sealed with
// the diary key and its day. A plain file found there (copied in, or synced from a machine
// not converted yet) reads as plain and is sealed at its next store.
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

    const DiaryKey& key() const { return m_key; }

private:
    PageCheck readFileInto(const std::u16string& path, const std::optional<LocalDate>& day, Page& page,
                           PageStamp* stamp) const;

    DiaryKey m_key;
};

} // namespace pagelet
