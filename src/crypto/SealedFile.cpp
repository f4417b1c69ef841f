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

namespace {

// Opens the ciphertext and tag that follow sealed's header where they lie (in the file's
// bytes or a copy of them): the tag is checked before a byte is written, then the stream is
// xored in place.
std::optional<std::size_t> openBody(const DiaryKey& key, const LocalDate& day, SealedKind kind,
                                    std::span<const std::uint8_t> sealed, std::uint8_t* body)
{
    if (sealed.size() < kSealedHeaderBytes + kSealedTagBytes || !looksSealed(sealed) || sealed[4] != kVersion ||
        sealed[5] != static_cast<std::uint8_t>(kind))
        return std::nullopt;
    const auto ad = associatedData(sealed.data(), day);
    unsigned long long got = 0;
    if (libsodium().crypto_aead_xchacha20poly1305_ietf_decrypt(body, &got, nullptr, body, sealed.size() - kSealedHeaderBytes,
                                                     ad.data(), ad.size(), sealed.data() + 6, key.bytes()) != 0)
        return std::nullopt;
    return static_cast<std::size_t>(got);
}

} // namespace

std::optional<Bytes> openSealed(const DiaryKey& key, const LocalDate& day, SealedKind kind,
                                std::span<const std::uint8_t> sealed)
{
    if (sealed.size() < kSealedHeaderBytes + kSealedTagBytes)
        return std::nullopt;
    Bytes plain(sealed.begin() + kSealedHeaderBytes, sealed.end());
    const auto got = openBody(key, day, kind, sealed, plain.data());
    if (!got)
        return std::nullopt;
    plain.resize(*got);
    return plain;
}

std::optional<std::span<const std::uint8_t>> openSealedInPlace(const DiaryKey& key, const LocalDate& day, SealedKind kind,
                                                              std::span<std::uint8_t> sealed)
{
    const auto got = openBody(key, day, kind, sealed, sealed.data() + kSealedHeaderBytes);
    if (!got)
        return std::nullopt;
    return std::span<const std::uint8_t>(sealed.data() + kSealedHeaderBytes, *got);
}

} // namespace pagelet
