#include "crypto/SealedFile.h"
#include "crypto/CipherCalls.h"
#include "crypto/SodiumCalls.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace pagelet {

namespace {

constexpr std::uint8_t kMagic[4] = {'P', 'G', 'S', 'L'};
constexpr std::uint8_t kVersion = 2;
constexpr std::size_t kAdBytes = kSealedHeaderBytes + sizeof(DiaryId) + 8;

static_assert(kSealedNonceBytes == crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
static_assert(kSealedTagBytes == crypto_aead_xchacha20poly1305_ietf_ABYTES);
static_assert(DiaryKey::kBytes == crypto_aead_xchacha20poly1305_ietf_KEYBYTES);

struct AssociatedData {
    std::array<std::uint8_t, kAdBytes> bytes {};
    std::size_t size = 0;
    const std::uint8_t* data() const { return bytes.data(); }
};

// The header as written, the diary's id from version 2 on, then the day's eight digits.
AssociatedData associatedData(const std::uint8_t* header, const DiaryKey& key, const LocalDate& day)
{
    AssociatedData ad;
    std::memcpy(ad.bytes.data(), header, kSealedHeaderBytes);
    ad.size = kSealedHeaderBytes;
    if (header[4] >= 2) {
        std::memcpy(ad.bytes.data() + ad.size, key.diaryId().data(), sizeof(DiaryId));
        ad.size += sizeof(DiaryId);
    }
    const auto digits = dateDigits(day);
    std::memcpy(ad.bytes.data() + ad.size, digits.data(), digits.size());
    ad.size += 8;
    return ad;
}

// Whether a header's version and kind are what is asked for: version 1 knew pages and memos
// only, and sealed the journal and versions as those.
bool holds(std::span<const std::uint8_t> sealed, SealedKind kind)
{
    if (sealed[4] == kVersion)
        return sealed[5] == static_cast<std::uint8_t>(kind);
    if (sealed[4] != 1)
        return false;
    const SealedKind was = kind == SealedKind::Memo || kind == SealedKind::MemoVersion ? SealedKind::Memo : SealedKind::Page;
    return sealed[5] == static_cast<std::uint8_t>(was);
}

} // namespace

bool looksSealed(std::span<const std::uint8_t> bytes)
{
    // A few flipped bits in the magic must not make a sealed file read as a plain one. A plain
    // page starts with a weather mark of 0..4 and a memo with "RIFF", both 9 or more bits away.
    if (bytes.size() < sizeof kMagic)
        return false;
    int differing = 0;
    for (std::size_t i = 0; i < sizeof kMagic; ++i)
        differing += std::popcount(static_cast<unsigned>(kMagic[i] ^ bytes[i]));
    return differing <= 3;
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
    const auto ad = associatedData(out.data(), key, day);
    unsigned long long written = 0;
    libsodium().crypto_aead_xchacha20poly1305_ietf_encrypt(out.data() + kSealedHeaderBytes, &written, plain.data(), plain.size(),
                                                 ad.data(), ad.size, nullptr, nonce.data(), key.bytes());
    return out;
}

namespace {

// XChaCha20-Poly1305 is ChaCha20-Poly1305 under a key made from the key and the nonce's first 16
// bytes, with the nonce's last 8 behind four zero bytes: the same message, opened by OpenSSL.
// Its plain bytes are written before the tag is known to be good, so a bad tag wipes them.
std::optional<std::size_t> openWithOpenssl(const CipherCalls& ssl, const DiaryKey& key, const std::uint8_t* nonce,
                                           const AssociatedData& ad, std::uint8_t* body, std::size_t bodyBytes)
{
    const std::size_t textBytes = bodyBytes - kSealedTagBytes;
    std::uint8_t subkey[DiaryKey::kBytes];
    libsodium().crypto_core_hchacha20(subkey, nonce, key.bytes(), nullptr);
    std::uint8_t iv[12] = {};
    std::memcpy(iv + 4, nonce + 16, 8);
    std::uint8_t tag[kSealedTagBytes];
    std::memcpy(tag, body + textBytes, sizeof tag);
    EVP_CIPHER_CTX* ctx = ssl.EVP_CIPHER_CTX_new();
    bool ok = ctx && ssl.EVP_DecryptInit_ex2(ctx, ssl.chachaPoly, subkey, iv, nullptr) == 1;
    libsodium().sodium_memzero(subkey, sizeof subkey);
    int n = 0;
    ok = ok && ssl.EVP_DecryptUpdate(ctx, nullptr, &n, ad.data(), static_cast<int>(ad.size)) == 1;
    for (std::size_t at = 0; ok && at < textBytes;) {
        const int step = static_cast<int>(std::min<std::size_t>(textBytes - at, std::size_t(1) << 30));
        ok = ssl.EVP_DecryptUpdate(ctx, body + at, &n, body + at, step) == 1 && n == step;
        at += static_cast<std::size_t>(step);
    }
    ok = ok && ssl.EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_AEAD_SET_TAG, sizeof tag, tag) == 1 &&
         ssl.EVP_DecryptFinal_ex(ctx, body + textBytes, &n) == 1;
    ssl.EVP_CIPHER_CTX_free(ctx); // wipes its key schedule
    if (!ok) {
        libsodium().sodium_memzero(body, bodyBytes);
        return std::nullopt;
    }
    return textBytes;
}

// Opens the ciphertext and tag that follow sealed's header where they lie (in the file's
// bytes or a copy of them).
std::optional<std::size_t> openBody(const DiaryKey& key, const LocalDate& day, SealedKind kind,
                                    std::span<const std::uint8_t> sealed, std::uint8_t* body)
{
    if (sealed.size() < kSealedHeaderBytes + kSealedTagBytes || !std::equal(kMagic, kMagic + 4, sealed.begin()) || !holds(sealed, kind))
        return std::nullopt;
    const auto ad = associatedData(sealed.data(), key, day);
    const std::size_t bodyBytes = sealed.size() - kSealedHeaderBytes;
    if (const auto& ssl = libcrypto(); ssl.chachaPoly)
        return openWithOpenssl(ssl, key, sealed.data() + 6, ad, body, bodyBytes);
    unsigned long long got = 0;
    if (libsodium().crypto_aead_xchacha20poly1305_ietf_decrypt(body, &got, nullptr, body, bodyBytes, ad.data(), ad.size,
                                                               sealed.data() + 6, key.bytes()) != 0)
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
