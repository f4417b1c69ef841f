// The key file reader on any bytes: what it takes encodes back to the same bytes, one slot at
// least is usable, a usable passphrase slot's parameters are within the limits it was given,
// and unlocking never fails any other way than by giving nothing. Limits small enough to
// derive a key per input let it unlock too. The diary id and the mark: a mark set by a key
// holds under that key's tag, and one changed by hand does not.
#include "crypto/KeyFile.h"

#include <array>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pagelet;
    const std::span<const std::uint8_t> bytes(data, size);
    const KeyFileRead strict = parseKeyFile(bytes);
    if (strict.ok() != strict.error().empty())
        std::abort();
    if (strict && (encodeKeyFile(*strict) != Bytes(data, data + size) ||
                   (passphraseSlotDamage(strict->passphrase).empty() &&
                    (strict->passphrase.params.memlimit < kFileKdfLimits.floor.memlimit ||
                     strict->passphrase.params.memlimit > kFileKdfLimits.ceiling.memlimit)) ||
                   (!passphraseSlotDamage(strict->passphrase).empty() &&
                    !recoverySlotDamage(strict->recovery).empty())))
        std::abort();
    static constexpr KdfLimits cheap {{1, 8192}, {2, 64 << 10}};
    const KeyFileRead loose = parseKeyFile(bytes, cheap);
    if (loose) {
        static const std::uint8_t passphrase[] = {'p', 'w'};
        (void)unlockWithPassphrase(*loose, passphrase, cheap);
        (void)unlockWithRecoveryKey(*loose, "0000-0000-0000-0000-0000-0000-0000-0000");
        static const auto key = DiaryKey::fromBytes(std::array<std::uint8_t, 32> {3}.data());
        for (const bool ended : {false, true}) {
            KeyFile marked = withConversionMark(*loose, *key, ended);
            if (loose->version < 2) {
                if (encodeKeyFile(marked) != Bytes(data, data + size) || !keyFileTagHolds(marked, *key))
                    std::abort();
                continue;
            }
            if (marked.id != loose->id || (marked.conversionEnded != 0) != ended || !keyFileTagHolds(marked, *key))
                std::abort();
            const auto reread = parseKeyFile(encodeKeyFile(marked), cheap);
            if (!reread || !keyFileTagHolds(*reread, *key))
                std::abort();
            marked.conversionEnded ^= 1;
            if (keyFileTagHolds(marked, *key))
                std::abort();
        }
    }
    return 0;
}
