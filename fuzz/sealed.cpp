// The sealed file reader on any bytes under a fixed key and diary id: what opens as the current
// version is exactly what sealing its plain bytes under its own nonce gives (so any other bytes
// would be a forgery) and opens as its one kind only, and the store's reader of kept versions
// agrees with it, taking anything else for a plain page or for nothing.
#include "crypto/SealedFile.h"
#include "store/EncryptedPageStore.h"

#include <algorithm>
#include <cstdlib>

namespace {

pagelet::DiaryKey fuzzKey()
{
    auto key = *pagelet::DiaryKey::fromBytes(std::array<std::uint8_t, 32> {7}.data());
    key.setDiary({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, true);
    return key;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pagelet;
    static const EncryptedPageStore store(u"/nonexistent/", fuzzKey());
    const LocalDate day {2001, 6, 7};
    const Bytes bytes(data, data + size);
    int opened = 0;
    std::optional<Bytes> version;
    for (const SealedKind kind : {SealedKind::Page, SealedKind::Memo, SealedKind::Journal, SealedKind::PageVersion,
                                  SealedKind::MemoVersion}) {
        const auto plain = openSealed(store.key(), day, kind, bytes);
        if (kind == SealedKind::PageVersion)
            version = plain;
        if (!plain)
            continue;
        ++opened;
        if (bytes[4] == 1)
            continue; // no longer written, only read
        SealedNonce nonce;
        std::copy(bytes.begin() + 6, bytes.begin() + 6 + nonce.size(), nonce.begin());
        if (sealFileWithNonce(store.key(), day, kind, *plain, nonce) != bytes)
            std::abort();
    }
    // One kind at most; a version 1 page also opens as the journal entry and the version it
    // was then, and a version 1 memo as the memo's version.
    const bool old = size > 5 && bytes[4] == 1;
    if (opened > (old ? (bytes[5] == 1 ? 3 : 2) : 1))
        std::abort();
    const auto page = store.pageOfFileBytes(day, bytes);
    const auto expected = version ? decodePage(*version) : looksSealed(bytes) ? std::nullopt : decodePage(bytes);
    if (page.has_value() != expected.has_value() || (page && (page->text != expected->text || page->weather != expected->weather)))
        std::abort();
    return 0;
}
