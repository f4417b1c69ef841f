#pragma once
#include "crypto/SecureBytes.h"

#include <array>
#include <cstdint>
#include <optional>

namespace pagelet {

// A random id for each diary, kept in its key file: two diaries sharing one key still can't
// take each other's files.
using DiaryId = std::array<std::uint8_t, 16>;

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
    // The same key in memory of its own, with its diary's id and mark.
    std::optional<DiaryKey> copy() const;

    // What the key file this key came from says of its diary: zeros and no mark for a key
    // file from before ids.
    const DiaryId& diaryId() const { return m_id; }
    // Every file was sealed once: a plain page or memo found since did not come from here.
    bool conversionEnded() const { return m_conversionEnded; }
    void setDiary(const DiaryId& id, bool conversionEnded)
    {
        m_id = id;
        m_conversionEnded = conversionEnded;
    }

private:
    explicit DiaryKey(SecureBytes bytes) : m_bytes(std::move(bytes)) {}

    SecureBytes m_bytes;
    DiaryId m_id {};
    bool m_conversionEnded = false;
};

} // namespace pagelet
