#include "crypto/DiaryKey.h"
#include "crypto/SodiumCalls.h"


#include <cstring>

namespace pagelet {

std::optional<DiaryKey> DiaryKey::generate()
{
    SecureBytes bytes(kBytes);
    if (bytes.empty())
        return std::nullopt;
    libsodium().randombytes_buf(bytes.data(), kBytes);
    return DiaryKey(std::move(bytes));
}

std::optional<DiaryKey> DiaryKey::fromBytes(const std::uint8_t* source)
{
    SecureBytes bytes(kBytes);
    if (bytes.empty())
        return std::nullopt;
    std::memcpy(bytes.data(), source, kBytes);
    return DiaryKey(std::move(bytes));
}

} // namespace pagelet
