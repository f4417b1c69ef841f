#pragma once
// A page, memo, journal entry or kept version of an encrypted diary: one authenticated message.
//   0  4  magic "PGSL"
//   4  1  version (2)
//   5  1  what it holds: 1 a page, 2 a memo, 3 a journal entry, 4 a page's or 5 a memo's version
//   6 24  random nonce
//  30  …  XChaCha20-Poly1305 ciphertext of the plain file's bytes, then the 16-byte tag
// The 30 header bytes, the diary's 16-byte id and the day's "YYYYMMDD" are the associated
// data: a file copied onto another day or into another diary, or one kind put in place of
// another, fails to open like a damaged one. Version 1 files (no id; pages and memos only, the
// journal and versions sealed as pages and memos) still open.
#include "base/ByteIo.h"
#include "base/Day.h"
#include "crypto/DiaryKey.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace pagelet {

enum class SealedKind : std::uint8_t { Page = 1, Memo = 2, Journal = 3, PageVersion = 4, MemoVersion = 5 };

inline constexpr std::size_t kSealedNonceBytes = 24;
inline constexpr std::size_t kSealedHeaderBytes = 6 + kSealedNonceBytes;
inline constexpr std::size_t kSealedTagBytes = 16;
using SealedNonce = std::array<std::uint8_t, kSealedNonceBytes>;

// True when the bytes start as a sealed file does, or nearly (a damaged one is never plain);
// whether it opens is another matter.
bool looksSealed(std::span<const std::uint8_t> bytes);

// The plain bytes sealed under a new random nonce, for the key's diary.
Bytes sealFile(const DiaryKey& key, const LocalDate& day, SealedKind kind, std::span<const std::uint8_t> plain);
// The same with a nonce of the caller's: only for fixed known answers, never for a file.
Bytes sealFileWithNonce(const DiaryKey& key, const LocalDate& day, SealedKind kind, std::span<const std::uint8_t> plain,
                        const SealedNonce& nonce);
// The plain bytes; nothing for any damage, another key, diary, day or kind.
std::optional<Bytes> openSealed(const DiaryKey& key, const LocalDate& day, SealedKind kind,
                                std::span<const std::uint8_t> sealed);
// The same opened where it lies: the plain bytes are a part of sealed, which holds them (to be
// wiped by the caller) however it ends.
std::optional<std::span<const std::uint8_t>> openSealedInPlace(const DiaryKey& key, const LocalDate& day, SealedKind kind,
                                                              std::span<std::uint8_t> sealed);

} // namespace pagelet
