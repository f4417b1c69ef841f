// The sealed page reader on any bytes under a fixed key: nothing the fuzzer makes opens (it
// would be a forgery), the store's reader of kept bytes takes them as sealed or plain without
// a fault, and the same bytes sealed open back to themselves but not with a bit flipped.
#include "crypto/SealedFile.h"
#include "store/EncryptedPageStore.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pagelet;
    static const EncryptedPageStore store(u"/nonexistent/", *DiaryKey::fromBytes(std::array<std::uint8_t, 32> {7}.data()));
    const LocalDate day {2001, 6, 7};
    const Bytes bytes(data, data + size);
    if (openSealed(store.key(), day, SealedKind::Page, bytes) || openSealed(store.key(), day, SealedKind::Memo, bytes))
        std::abort();
    const auto page = store.pageOfFileBytes(day, bytes);
    if (looksSealed(bytes) ? page.has_value() : page.has_value() != decodePage(bytes).has_value())
        std::abort();
    Bytes sealed = sealFile(store.key(), day, SealedKind::Page, bytes);
    if (openSealed(store.key(), day, SealedKind::Page, sealed) != bytes)
        std::abort();
    sealed[size % sealed.size()] ^= static_cast<std::uint8_t>(1u << (size % 8));
    if (openSealed(store.key(), day, SealedKind::Page, sealed))
        std::abort();
    return 0;
}
