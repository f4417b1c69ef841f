#pragma once
#include "crypto/SecureBytes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pagelet {

// The recovery key: 160 random bits shown once as 8 groups of 4 characters
// ("7K3M-Q9ZD-…"), from an alphabet without the letters people misread (I, L, O, U).
inline constexpr std::size_t kRecoveryBytes = 20;

std::string recoveryText(const std::uint8_t* bytes);
// The bits of a typed recovery key: case, spaces and dashes don't matter and O, I and L are
// taken for 0, 1 and 1. Nothing when it is not 32 such characters.
std::optional<SecureBytes> parseRecoveryText(std::string_view text);

} // namespace pagelet
