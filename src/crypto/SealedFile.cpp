#include "crypto/SealedFile.h"
#include "crypto/SodiumCalls.h"


#include <algorithm>
#include <cstdio>
#include <cstring>

namespace pagelet {

namespace {

constexpr std::uint8_t kMagic[4] = {'P', 'G', 'S', 'L'};
constexpr std::uint8_t kVersion = 1;

static_assert(kSealedNonceBytes == crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
static_assert(kSealedTagBytes == crypto_aead_xchacha20poly1305_ietf_ABYTES);
static_assert(DiaryKey::kBytes == crypto_aead_xchacha20poly1305_ietf_KEYBYTES);

// The header as written, then the day's eight digits.
std::array<std::uint8_t, kSealedHeaderBytes + 8> associatedData(const std::uint8_t* header, const LocalDate& day)
{
    std::array<std::uint8_t, kSealedHeaderBytes + 8> ad {};
    std::memcpy(ad.data(), header, kSealedHeaderBytes);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d%02d%02d", day.year % 10000, day.month % 100, day.day % 100);
    std::memcpy(ad.data() + kSealedHeaderBytes, digits, 8);
    return ad;
}

} // namespace

bool looksSealed(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= sizeof kMagic && std::equal(kMagic, kMagic + sizeof kMagic, bytes.begin());
}

Bytes sealFile(const DiaryKey& key, const LocalDate& day, SealedKind kind, std::span<const std::uint8_t> plain)
{
    SealedNonce nonce;
    libsodium().randombytes_buf(nonce.data(), nonce.size());
    return sealFileWithNonce(key, day, kind, plain, nonce);
}

Bytes sealFileWithNonce(const DiaryKey& key, const LocalDate& day, SealedKind kind, std::span<const std::uint8_t> plain,
                        const SealedNonce& nonce)
{
    Bytes out(kSealedHeaderBytes + plain.size() + kSealedTagBytes);
    std::memcpy(out.data(), kMagic, sizeof kMagic);
    out[4] = kVersion;
    out[5] = static_cast<std::uint8_t>(kind);
    std::memcpy(out.data() + 6, nonce.data(), nonce.size());
    const auto ad = associatedData(out.data(), day);
    unsigned long long written = 0;
    libsodium().crypto_aead_xchacha20poly1305_ietf_encrypt(out.data() + kSealedHeaderBytes, &written, plain.data(), plain.size(),
                                                 ad.data(), ad.size(), nullptr, nonce.data(), key.bytes());
    return out;
}

std::optional<Bytes> openSealed(const DiaryKey& key, const LocalDate& day, SealedKind kind,
                                std::span<const std::uint8_t> sealed)
{
    if (sealed.size() < kSealedHeaderBytes + kSealedTagBytes || !looksSealed(sealed) || sealed[4] != kVersion ||
        sealed[5] != static_cast<std::uint8_t>(kind))
        return std::nullopt;
    const auto ad = associatedData(sealed.data(), day);
    Bytes plain(sealed.size() - kSealedHeaderBytes - kSealedTagBytes);
    unsigned long long got = 0;
    if (libsodium().crypto_aead_xchacha20poly1305_ietf_decrypt(plain.data(), &got, nullptr, sealed.data() + kSealedHeaderBytes,
                                                     sealed.size() - kSealedHeaderBytes, ad.data(), ad.size(),
                                                     sealed.data() + 6, key.bytes()) != 0)
        return std::nullopt;
    return plain;
}

} // namespace pagelet
