#include "base/ByteIo.h"

#include <bit>
#include <cstring>

namespace pagelet {

void ByteWriter::putInt32(std::int32_t value)
{
    const auto u = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        m_bytes.push_back(static_cast<std::uint8_t>((u >> shift) & 0xFFu));
}

void ByteWriter::putUnits(const std::u16string& text)
{
    const std::size_t at = m_bytes.size();
    m_bytes.resize(at + text.size() * 2);
    if constexpr (std::endian::native == std::endian::little) {
        // The string's layout is the file's: one copy instead of a loop over 100 KB pages.
        if (!text.empty())
            std::memcpy(m_bytes.data() + at, text.data(), text.size() * 2);
    } else {
        std::uint8_t* out = m_bytes.data() + at;
        for (char16_t c : text) {
            *out++ = static_cast<std::uint8_t>(c & 0xFF);
            *out++ = static_cast<std::uint8_t>(c >> 8);
        }
    }
}

std::uint32_t ByteReader::take(int width)
{
    std::uint32_t u = 0;
    for (int i = 0; i < width; ++i)
        u |= static_cast<std::uint32_t>(m_bytes[m_pos + i]) << (8 * i);
    m_pos += static_cast<std::size_t>(width);
    return u;
}

bool ByteReader::getUint32(std::uint32_t& value)
{
    if (remaining() < 4)
        return false;
    value = take(4);
    return true;
}

bool ByteReader::getInt32(std::int32_t& value)
{
    std::uint32_t u = 0;
    if (!getUint32(u))
        return false;
    value = static_cast<std::int32_t>(u);
    return true;
}

bool ByteReader::getUint16(std::uint16_t& value)
{
    if (remaining() < 2)
        return false;
    value = static_cast<std::uint16_t>(take(2));
    return true;
}

bool ByteReader::getUnits(std::int64_t count, std::u16string& text)
{
    text.clear();
    if (count <= 0)
        return true;
    const auto available = static_cast<std::int64_t>(remaining() / 2);
    const std::int64_t n = count < available ? count : available;
    text.resize(static_cast<std::size_t>(n));
    if constexpr (std::endian::native == std::endian::little) {
        // The file's layout is the string's: one copy instead of a loop over 100 KB pages.
        std::memcpy(text.data(), m_bytes.data() + m_pos, static_cast<std::size_t>(n) * 2);
        m_pos += static_cast<std::size_t>(n) * 2;
    } else {
        for (auto& c : text)
            c = static_cast<char16_t>(take(2));
    }
    return n == count;
}

bool ByteReader::getString(std::u16string& text)
{
    const std::size_t start = m_pos;
    std::int32_t count = 0;
    if (!getInt32(count))
        return false;
    if (count > 0 && remaining() / 2 < static_cast<std::size_t>(count)) {
        m_pos = start;
        return false;
    }
    getUnits(count, text);
    return true;
}

bool ByteReader::skip(std::size_t count)
{
    if (remaining() < count)
        return false;
    m_pos += count;
    return true;
}

} // namespace pagelet
