#include "crypto/KeyFile.h"

#include "crypto/RecoveryKey.h"
#include "crypto/SodiumCalls.h"


#include <cstring>

namespace pagelet {

namespace {

constexpr std::uint8_t kMagic[4] = {'P', 'G', 'L', 'K'};
constexpr std::uint32_t kVersion = 2;
constexpr std::uint32_t kPassphraseKdf = 1;
constexpr std::uint32_t kRecoveryKdf = 2;
constexpr std::size_t kSlotBytes = 108;
constexpr std::size_t kSlotHeadBytes = 36; // kdf, parameters and salt

static_assert(sizeof(KeySlot::salt) == crypto_pwhash_SALTBYTES);
static_assert(sizeof(KeySlot::nonce) == crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
static_assert(sizeof(KeySlot::wrapped) == DiaryKey::kBytes + crypto_aead_xchacha20poly1305_ietf_ABYTES);
static_assert(kSlotHeadBytes + sizeof(KeySlot::nonce) + sizeof(KeySlot::wrapped) == kSlotBytes);

void put(Bytes& out, std::uint64_t value, int width)
{
    for (int i = 0; i < width; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint64_t get(const std::uint8_t* at, int width)
{
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | at[i];
    return value;
}

Bytes encodeFileHead(std::uint32_t version)
{
    Bytes out(kMagic, kMagic + 4);
    put(out, version, 4);
    return out;
}

void encodeSlotHead(Bytes& out, const KeySlot& slot)
{
    put(out, slot.kdf, 4);
    put(out, slot.params.opslimit, 8);
    put(out, slot.params.memlimit, 8);
    out.insert(out.end(), slot.salt.begin(), slot.salt.end());
}

// The file's head and the slot's head, as the wrap's associated data.
Bytes slotAd(const KeySlot& slot, std::uint32_t version)
{
    Bytes ad = encodeFileHead(version);
    encodeSlotHead(ad, slot);
    return ad;
}

KeySlot readSlot(const std::uint8_t* at)
{
    KeySlot slot;
    slot.kdf = static_cast<std::uint32_t>(get(at, 4));
    slot.params = {get(at + 4, 8), get(at + 12, 8)};
    std::memcpy(slot.salt.data(), at + 20, 16);
    std::memcpy(slot.nonce.data(), at + 36, 24);
    std::memcpy(slot.wrapped.data(), at + 60, 48);
    return slot;
}

bool within(const KdfParams& p, const KdfParams& low, const KdfParams& high)
{
    return p.opslimit >= low.opslimit && p.memlimit >= low.memlimit && p.opslimit <= high.opslimit &&
           p.memlimit <= high.memlimit;
}

// The slot's own key from a passphrase; empty on failure (out of memory).
SecureBytes passphraseKey(const KeySlot& slot, std::span<const std::uint8_t> passphrase)
{
    SecureBytes key(DiaryKey::kBytes);
    if (key.empty() || slot.params.opslimit < crypto_pwhash_OPSLIMIT_MIN || slot.params.memlimit < crypto_pwhash_MEMLIMIT_MIN ||
        libsodium().crypto_pwhash(key.data(), key.size(), reinterpret_cast<const char*>(passphrase.data()), passphrase.size(),
                        slot.salt.data(), slot.params.opslimit, static_cast<std::size_t>(slot.params.memlimit),
                        crypto_pwhash_ALG_ARGON2ID13) != 0)
        return {};
    return key;
}

// 160 random bits need no slow derivation; the salt keeps two diaries' slots unrelated.
SecureBytes recoverySlotKey(const KeySlot& slot, const SecureBytes& recovery)
{
    SecureBytes key(DiaryKey::kBytes);
    if (key.empty() || libsodium().crypto_generichash(key.data(), key.size(), recovery.data(), recovery.size(), slot.salt.data(),
                                            slot.salt.size()) != 0)
        return {};
    return key;
}

bool wrap(KeySlot& slot, std::uint32_t version, const SecureBytes& slotKey, const DiaryKey& key)
{
    if (slotKey.empty())
        return false;
    libsodium().randombytes_buf(slot.nonce.data(), slot.nonce.size());
    const Bytes ad = slotAd(slot, version);
    unsigned long long written = 0;
    return libsodium().crypto_aead_xchacha20poly1305_ietf_encrypt(slot.wrapped.data(), &written, key.bytes(), DiaryKey::kBytes,
                                                        ad.data(), ad.size(), nullptr, slot.nonce.data(),
                                                        slotKey.data()) == 0;
}

std::optional<DiaryKey> unwrap(const KeyFile& file, const KeySlot& slot, const SecureBytes& slotKey)
{
    SecureBytes plain(DiaryKey::kBytes);
    if (slotKey.empty() || plain.empty())
        return std::nullopt;
    const Bytes ad = slotAd(slot, file.version);
    unsigned long long got = 0;
    if (libsodium().crypto_aead_xchacha20poly1305_ietf_decrypt(plain.data(), &got, nullptr, slot.wrapped.data(), slot.wrapped.size(),
                                                     ad.data(), ad.size(), slot.nonce.data(), slotKey.data()) != 0)
        return std::nullopt;
    auto key = DiaryKey::fromBytes(plain.data());
    // A tag that fails means someone without the key changed the mark or the id: the stricter
    // reading, in which plain files are not the diary's, holds.
    if (key && file.version >= 2)
        key->setDiary(file.id, file.conversionEnded != 0 || !keyFileTagHolds(file, *key));
    return key;
}

// What the tag covers: the head, the id and the mark.
Bytes taggedPart(const KeyFile& file)
{
    Bytes out = encodeFileHead(file.version);
    out.insert(out.end(), file.id.begin(), file.id.end());
    put(out, file.conversionEnded, 4);
    return out;
}

std::array<std::uint8_t, 32> tagOf(const KeyFile& file, const DiaryKey& key)
{
    static constexpr char kTagKeyLabel[] = "pagelet.key mark";
    std::array<std::uint8_t, 32> tag {};
    SecureBytes tagKey(32);
    if (tagKey.empty() ||
        libsodium().crypto_generichash(tagKey.data(), tagKey.size(), reinterpret_cast<const std::uint8_t*>(kTagKeyLabel),
                                       sizeof kTagKeyLabel - 1, key.bytes(), DiaryKey::kBytes) != 0)
        return tag;
    const Bytes tagged = taggedPart(file);
    libsodium().crypto_generichash(tag.data(), tag.size(), tagged.data(), tagged.size(), tagKey.data(), tagKey.size());
    return tag;
}

KeySlot newPassphraseSlot(const KdfParams& params)
{
    KeySlot slot;
    slot.kdf = kPassphraseKdf;
    slot.params = params;
    libsodium().randombytes_buf(slot.salt.data(), slot.salt.size());
    return slot;
}

} // namespace

std::string passphraseSlotDamage(const KeySlot& slot, const KdfLimits& limits)
{
    if (slot.kdf != kPassphraseKdf)
        return "the key file's passphrase slot names a key derivation this program does not know";
    if (!within(slot.params, limits.floor, limits.ceiling))
        return "the key file's derivation parameters (" + std::to_string(slot.params.opslimit) + " passes, " +
               std::to_string(slot.params.memlimit >> 20) + " MiB) are outside " + std::to_string(limits.floor.opslimit) +
               "-" + std::to_string(limits.ceiling.opslimit) + " passes and " + std::to_string(limits.floor.memlimit >> 20) +
               "-" + std::to_string(limits.ceiling.memlimit >> 20) + " MiB";
    return {};
}

std::string recoverySlotDamage(const KeySlot& slot)
{
    if (slot.kdf != kRecoveryKdf)
        return "the key file's recovery slot names a key derivation this program does not know";
    if (slot.params.opslimit != 0 || slot.params.memlimit != 0)
        return "the key file's recovery slot is damaged";
    return {};
}

KeyFileRead parseKeyFile(std::span<const std::uint8_t> bytes, const KdfLimits& limits)
{
    if (bytes.size() < 8 || std::memcmp(bytes.data(), kMagic, 4) != 0)
        return Failure {"not a key file"};
    const auto version = static_cast<std::uint32_t>(get(bytes.data() + 4, 4));
    if (version != 1 && version != kVersion)
        return Failure {"key file version " + std::to_string(version) + " is not one this program reads"};
    if (bytes.size() != (version == 1 ? kKeyFileV1Bytes : kKeyFileBytes))
        return Failure {"the key file is cut short or has bytes added"};
    KeyFile file {readSlot(bytes.data() + 8), readSlot(bytes.data() + 8 + kSlotBytes), version};
    if (version >= 2) {
        const std::uint8_t* at = bytes.data() + kKeyFileV1Bytes;
        std::memcpy(file.id.data(), at, file.id.size());
        file.conversionEnded = static_cast<std::uint32_t>(get(at + 16, 4));
        std::memcpy(file.tag.data(), at + 20, file.tag.size());
    }
    // Each slot stands alone: one damaged, the other still opens the diary. The damaged one
    // is kept as read, so the file writes back byte for byte.
    const std::string passphrase = passphraseSlotDamage(file.passphrase, limits);
    const std::string recovery = recoverySlotDamage(file.recovery);
    if (!passphrase.empty() && !recovery.empty())
        return Failure {passphrase + "; " + recovery};
    return file;
}

Bytes encodeKeyFile(const KeyFile& file)
{
    Bytes out = encodeFileHead(file.version);
    for (const KeySlot* slot : {&file.passphrase, &file.recovery}) {
        encodeSlotHead(out, *slot);
        out.insert(out.end(), slot->nonce.begin(), slot->nonce.end());
        out.insert(out.end(), slot->wrapped.begin(), slot->wrapped.end());
    }
    if (file.version >= 2) {
        out.insert(out.end(), file.id.begin(), file.id.end());
        put(out, file.conversionEnded, 4);
        out.insert(out.end(), file.tag.begin(), file.tag.end());
    }
    return out;
}

bool keyFileTagHolds(const KeyFile& file, const DiaryKey& key)
{
    if (file.version < 2)
        return true;
    const auto tag = tagOf(file, key);
    return libsodium().sodium_memcmp(tag.data(), file.tag.data(), tag.size()) == 0;
}

KeyFile withConversionMark(const KeyFile& file, const DiaryKey& key, bool ended)
{
    KeyFile out = file;
    if (out.version < 2)
        return out;
    out.conversionEnded = ended ? 1 : 0;
    out.tag = tagOf(out, key);
    return out;
}

std::optional<NewKeyFile> createKeyFile(std::span<const std::uint8_t> passphrase, const KdfParams& params)
{
    auto key = DiaryKey::generate();
    SecureBytes recovery(kRecoveryBytes);
    if (!key || recovery.empty())
        return std::nullopt;
    libsodium().randombytes_buf(recovery.data(), recovery.size());
    KeyFile file;
    file.passphrase = newPassphraseSlot(params);
    file.recovery.kdf = kRecoveryKdf;
    libsodium().randombytes_buf(file.recovery.salt.data(), file.recovery.salt.size());
    libsodium().randombytes_buf(file.id.data(), file.id.size());
    if (!wrap(file.passphrase, file.version, passphraseKey(file.passphrase, passphrase), *key) ||
        !wrap(file.recovery, file.version, recoverySlotKey(file.recovery, recovery), *key))
        return std::nullopt;
    file.tag = tagOf(file, *key);
    key->setDiary(file.id, false);
    return NewKeyFile {file, std::move(*key), recoveryText(recovery.data())};
}

std::optional<DiaryKey> unlockWithPassphrase(const KeyFile& file, std::span<const std::uint8_t> passphrase,
                                             const KdfLimits& limits)
{
    if (file.passphrase.kdf != kPassphraseKdf || file.passphrase.params.opslimit > limits.ceiling.opslimit ||
        file.passphrase.params.memlimit > limits.ceiling.memlimit)
        return std::nullopt;
    return unwrap(file, file.passphrase, passphraseKey(file.passphrase, passphrase));
}

std::optional<DiaryKey> unlockWithRecoveryKey(const KeyFile& file, std::string_view recoveryKey)
{
    const auto recovery = parseRecoveryText(recoveryKey);
    if (!recovery || !recoverySlotDamage(file.recovery).empty())
        return std::nullopt;
    return unwrap(file, file.recovery, recoverySlotKey(file.recovery, *recovery));
}

std::optional<KeyFile> rewrapKeyFile(const KeyFile& file, const DiaryKey& key, std::span<const std::uint8_t> passphrase,
                                     const KdfParams& params)
{
    KeyFile out = file;
    out.passphrase = newPassphraseSlot(params);
    if (!wrap(out.passphrase, out.version, passphraseKey(out.passphrase, passphrase), key))
        return std::nullopt;
    return out;
}

} // namespace pagelet
