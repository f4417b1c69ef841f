#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace pagelet {

using Bytes = std::vector<std::uint8_t>;

// Little-endian writer for the settings and page files.
class ByteWriter {
public:
    ByteWriter() = default;
    // Room for size bytes up front, so a large page is never copied as it grows.
    explicit ByteWriter(std::size_t size) { m_bytes.reserve(size); }

    void putInt32(std::int32_t value);
    void putUnits(const std::u16string& text); // UTF-16LE code units, no count, no terminator
    const Bytes& bytes() const { return m_bytes; }
    Bytes release() { return std::move(m_bytes); }

private:
    Bytes m_bytes;
};

// The one little-endian reader of settings, pages and picture headers. It never reads past
// the end and never trusts a stored length: a read that doesn't fit leaves its value untouched.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    bool getInt32(std::int32_t& value);
    bool getUint32(std::uint32_t& value);
    bool getUint16(std::uint16_t& value);
    // Up to count code units, fewer when the data ends first; false when any were missing.
    bool getUnits(std::int64_t count, std::u16string& text);
    // A 32-bit count, then that many units; a count below 1 is the empty string. False, with
    // text untouched, when the count or its units run past the end.
    bool getString(std::u16string& text);
    bool skip(std::size_t count);
    std::size_t remaining() const { return m_bytes.size() - m_pos; }

private:
    std::uint32_t take(int width); // width bytes, known to be there

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
};

} // namespace pagelet
