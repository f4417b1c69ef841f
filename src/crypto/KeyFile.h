#pragma once
// pagelet.key: the diary key wrapped twice, by the passphrase and by the recovery key.
//   0   4  magic "PGLK"
//   4   4  version (2; 1 before diaries had ids), little-endian like every number here
//   8 108  the passphrase slot
// 116 108  the recovery slot
// 224  16  the diary's random id (version 2 on)
// 240   4  1 once a conversion sealed every file, else 0
// 244  32  BLAKE2b-256 of bytes 0-7 and 224-243, keyed by BLAKE2b of "pagelet.key mark" under
//          the diary key: only someone holding the key sets or clears the mark
// A slot: kdf (4: 1 Argon2id from a passphrase, 2 BLAKE2b from the recovery key's 160 bits),
// opslimit (8), memlimit (8; both 0 for the recovery slot), salt (16), nonce (24), then the
// diary key sealed with XChaCha20-Poly1305 (32 + 16-byte tag). The file's first 8 bytes and
// the slot's first 36 are the associated data, so a changed parameter fails like a wrong key,
// and a file can't be passed off as the other version.
#include "base/ByteIo.h"
#include "base/Outcome.h"
#include "crypto/DiaryKey.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pagelet {

inline const std::u16string kKeyFileName = u"pagelet.key";
inline constexpr std::size_t kKeyFileV1Bytes = 8 + 2 * 108;
inline constexpr std::size_t kKeyFileBytes = kKeyFileV1Bytes + 16 + 4 + 32;

struct KdfParams {
    std::uint64_t opslimit = 0;
    std::uint64_t memlimit = 0; // bytes
};

// About half a second of unlocking on the machines we measured (3 passes over 256 MiB).
inline constexpr KdfParams kDefaultKdf {3, 256ull << 20};

// What a key file may ask of the passphrase's derivation. Below the floor a stolen file
// would be cheap to guess against; above the ceiling unlocking would take the machine's memory.
struct KdfLimits {
    KdfParams floor;
    KdfParams ceiling;
};
inline constexpr KdfLimits kFileKdfLimits {{2, 64ull << 20}, {16, 1ull << 30}};

struct KeySlot {
    std::uint32_t kdf = 0;
    KdfParams params;
    std::array<std::uint8_t, 16> salt {};
    std::array<std::uint8_t, 24> nonce {};
    std::array<std::uint8_t, 48> wrapped {};
};

struct KeyFile {
    KeySlot passphrase;
    KeySlot recovery;
    std::uint32_t version = 2;
    DiaryId id {};
    std::uint32_t conversionEnded = 0; // as read: anything but 0 is the mark
    std::array<std::uint8_t, 32> tag {};
};

using KeyFileRead = Outcome<KeyFile>;

// Refused only when the file as a whole is wrong or neither slot could open it.
KeyFileRead parseKeyFile(std::span<const std::uint8_t> bytes, const KdfLimits& limits = kFileKdfLimits);
// Why a slot's header can't be used, for a message; empty when it can.
std::string passphraseSlotDamage(const KeySlot& slot, const KdfLimits& limits = kFileKdfLimits);
std::string recoverySlotDamage(const KeySlot& slot);
Bytes encodeKeyFile(const KeyFile& file);

struct NewKeyFile {
    KeyFile file;
    DiaryKey key;
    std::string recoveryKey; // to be shown once, as 8 groups of 4 characters
};

// A new random diary key wrapped by the passphrase with params and by a new recovery key.
std::optional<NewKeyFile> createKeyFile(std::span<const std::uint8_t> passphrase, const KdfParams& params = kDefaultKdf);
// The diary key, or nothing for a wrong passphrase or a slot whose parameters pass the ceiling.
std::optional<DiaryKey> unlockWithPassphrase(const KeyFile& file, std::span<const std::uint8_t> passphrase,
                                             const KdfLimits& limits = kFileKdfLimits);
std::optional<DiaryKey> unlockWithRecoveryKey(const KeyFile& file, std::string_view recoveryKey);
// The same file with the passphrase slot made anew for another passphrase (and perhaps
// raised parameters): the diary key, and so every page, stays as it is.
// The id and mark go along; the recovery slot is not touched.
std::optional<KeyFile> rewrapKeyFile(const KeyFile& file, const DiaryKey& key, std::span<const std::uint8_t> passphrase,
                                     const KdfParams& params = kDefaultKdf);

// Whether the file's id and mark are as the diary key's holder wrote them (a version 1 file
// has none to check).
bool keyFileTagHolds(const KeyFile& file, const DiaryKey& key);
// The file with its mark set or cleared and its tag made anew; a version 1 file stays as it is
// (its slots can't be moved to version 2 without the recovery key).
KeyFile withConversionMark(const KeyFile& file, const DiaryKey& key, bool ended);

} // namespace pagelet
