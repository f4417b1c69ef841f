// The key file reader on any bytes: what it takes encodes back to the same bytes, one slot at
// least is usable, a usable passphrase slot's parameters are within the limits it was given,
// and unlocking never fails any other way than by giving nothing. Limits small enough to
// derive a key per input let it unlock too.
#include "crypto/KeyFile.h"

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
    }
    return 0;
}
