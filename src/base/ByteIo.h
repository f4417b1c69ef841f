#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace pagelet {

using Bytes = std::vector<std::uint8_t>;

// Little-endian writer for the settings and page files.
class ByteWriter {
public:
    void putInt32(std::int32_t value);
    void putUnits(const std::u16string& text); // UTF-16LE code units, no count, no terminator
    const Bytes& bytes() const { return m_bytes; }

private:
    Bytes m_bytes;
};

// Reader that never reads past the end and never trusts a stored length.
class ByteReader {
public:
    explicit ByteReader(const Bytes& bytes) : m_bytes(bytes) {}
    // False, with value untouched, when fewer than 4 bytes are left.
    bool getInt32(std::int32_t& value);
    // Up to count code units, fewer when the data ends first; false when any were missing.
    bool getUnits(std::int64_t count, std::u16string& text);
    std::size_t remaining() const { return m_bytes.size() - m_pos; }

private:
    const Bytes& m_bytes;
    std::size_t m_pos = 0;
};

} // namespace pagelet
