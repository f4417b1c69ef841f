#include "crypto/RecoveryKey.h"

namespace pagelet {

namespace {

constexpr char kAlphabet[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr std::size_t kCharacters = kRecoveryBytes * 8 / 5;

int valueOf(char c)
{
    if (c >= 'a' && c <= 'z')
        c = static_cast<char>(c - 'a' + 'A');
    if (c == 'O')
        c = '0';
    if (c == 'I' || c == 'L')
        c = '1';
    for (int v = 0; v < 32; ++v)
        if (kAlphabet[v] == c)
            return v;
    return -1;
}

} // namespace

std::string recoveryText(const std::uint8_t* bytes)
{
    std::string text;
    for (std::size_t i = 0; i < kCharacters; ++i) {
        if (i > 0 && i % 4 == 0)
            text += '-';
        // Five bits at a time, most significant first.
        const std::size_t bit = i * 5;
        const unsigned pair = (unsigned(bytes[bit / 8]) << 8) | (bit / 8 + 1 < kRecoveryBytes ? bytes[bit / 8 + 1] : 0);
        text += kAlphabet[(pair >> (11 - bit % 8)) & 31];
    }
    return text;
}

std::optional<SecureBytes> parseRecoveryText(std::string_view text)
{
    SecureBytes bytes(kRecoveryBytes);
    if (bytes.empty())
        return std::nullopt;
    for (std::size_t i = 0; i < kRecoveryBytes; ++i)
        bytes.data()[i] = 0;
    std::size_t count = 0;
    for (char c : text) {
        if (c == '-' || c == ' ')
            continue;
        const int v = valueOf(c);
        if (v < 0 || count == kCharacters)
            return std::nullopt;
        const std::size_t bit = count * 5;
        const unsigned shifted = unsigned(v) << (11 - bit % 8);
        bytes.data()[bit / 8] |= static_cast<std::uint8_t>(shifted >> 8);
        if (bit / 8 + 1 < kRecoveryBytes)
            bytes.data()[bit / 8 + 1] |= static_cast<std::uint8_t>(shifted & 0xFF);
        ++count;
    }
    if (count != kCharacters)
        return std::nullopt;
    return bytes;
}

} // namespace pagelet
