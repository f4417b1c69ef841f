#pragma once
#include "crypto/SecureBytes.h"

#include <array>
#include <cstdint>
#include <optional>

namespace pagelet {

// The 256-bit key every page and memo of an encrypted diary is sealed with. It lives only in
// locked memory and is wiped when dropped; it can be moved, never copied.
class DiaryKey {
public:
    static constexpr std::size_t kBytes = 32;

    // A new random key; nothing when no locked memory or random source can be had.
    static std::optional<DiaryKey> generate();
    // A key from known bytes: an unwrapped key slot, or a test's fixed key.
    static std::optional<DiaryKey> fromBytes(const std::uint8_t* bytes);

    DiaryKey(DiaryKey&&) noexcept = default;
    DiaryKey& operator=(DiaryKey&&) noexcept = default;

    const std::uint8_t* bytes() const { return m_bytes.data(); }

private:
    explicit DiaryKey(SecureBytes bytes) : m_bytes(std::move(bytes)) {}

    SecureBytes m_bytes;
};

} // namespace pagelet
