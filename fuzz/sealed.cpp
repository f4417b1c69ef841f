// The sealed file reader on any bytes under a fixed key: what opens is exactly what sealing its
// plain bytes under its own nonce gives (so any other bytes would be a forgery), and the store's
// reader of kept bytes agrees with it, taking anything else for a plain page or for nothing.
#include "crypto/SealedFile.h"
#include "store/EncryptedPageStore.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pagelet;
    static const EncryptedPageStore store(u"/nonexistent/", *DiaryKey::fromBytes(std::array<std::uint8_t, 32> {7}.data()));
    const LocalDate day {2001, 6, 7};
    const Bytes bytes(data, data + size);
    const auto plain = openSealed(store.key(), day, SealedKind::Page, bytes);
    if (plain) {
        SealedNonce nonce;
        std::copy(bytes.begin() + 6, bytes.begin() + 6 + nonce.size(), nonce.begin());
        if (sealFileWithNonce(store.key(), day, SealedKind::Page, *plain, nonce) != bytes)
            std::abort();
    }
    const auto page = store.pageOfFileBytes(day, bytes);
    const auto expected = plain ? decodePage(*plain) : looksSealed(bytes) ? std::nullopt : decodePage(bytes);
    if (page.has_value() != expected.has_value() || (page && (page->text != expected->text || page->weather != expected->weather)))
        std::abort();
    (void)openSealed(store.key(), day, SealedKind::Memo, bytes);
    return 0;
}
