#pragma once
#include "crypto/DiaryKey.h"
#include "crypto/KeyFile.h"

#include <array>
#include <span>
#include <string_view>

namespace pagelet::testing {

// Derivation cheap enough for a table of unlocks; files with it are read only through these limits.
inline constexpr KdfParams kQuickKdf {1, 1u << 20};
inline constexpr KdfLimits kQuickLimits {{1, 1u << 20}, {16, 1ull << 30}};

inline std::span<const std::uint8_t> bytesOf(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// 00 01 02 … 1f
inline DiaryKey countingKey(std::uint8_t start = 0)
{
    std::array<std::uint8_t, DiaryKey::kBytes> bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(start + i);
    return *DiaryKey::fromBytes(bytes.data());
}

} // namespace pagelet::testing
