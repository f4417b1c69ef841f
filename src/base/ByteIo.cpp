#include "base/ByteIo.h"

namespace pagelet {

void ByteWriter::putInt32(std::int32_t value)
{
    const auto u = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        m_bytes.push_back(static_cast<std::uint8_t>((u >> shift) & 0xFFu));
}

void ByteWriter::putUnits(const std::u16string& text)
{
    m_bytes.reserve(m_bytes.size() + text.size() * 2);
    for (char16_t c : text) {
        m_bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        m_bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
}

bool ByteReader::getInt32(std::int32_t& value)
{
    if (remaining() < 4)
        return false;
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= static_cast<std::uint32_t>(m_bytes[m_pos + i]) << (8 * i);
    m_pos += 4;
    value = static_cast<std::int32_t>(u);
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
    for (std::int64_t i = 0; i < n; ++i) {
        text[static_cast<std::size_t>(i)] = static_cast<char16_t>(m_bytes[m_pos] | (m_bytes[m_pos + 1] << 8));
        m_pos += 2;
    }
    return n == count;
}

} // namespace pagelet
