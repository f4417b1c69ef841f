#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace pagelet {

class MessageBoxPort;

// Buffered line reader for "skin.skn": hands out one non-empty line at a time with its line
// number, whatever the line breaks, and warns once when a line doesn't fit the caller's buffer.
class SkinFile {
public:
    SkinFile(std::int32_t bufferSize, MessageBoxPort& messages);
    virtual ~SkinFile();
    SkinFile(const SkinFile&) = delete;
    SkinFile& operator=(const SkinFile&) = delete;

    // Read-only; only regular files open, so a device or pipe named like a skin can't block us.
    bool Open(const std::u16string& path);
    // The next non-empty line, zero-terminated in line; its number, or 0 at the end.
    unsigned ReadLine(char* line, unsigned capacity);
    void Close();

    std::int32_t m_nBufferSize;
    std::u16string m_strMessage;
    std::uint32_t m_nDataLength;
    std::uint32_t m_nLine = 0;
    std::uint32_t m_nPos = 0;
    std::unique_ptr<std::uint8_t[]> m_pBuffer;
    int m_file = -1;

private:
    std::uint32_t refill();
    unsigned overflow(char* line, unsigned length, unsigned capacity);

    MessageBoxPort& m_messages;
    // One box per reader, so per skin load: a long line would otherwise ask for one OK per
    // 99 bytes.
    bool m_warned = false;
};

// One line of "skin.skn": the key and the first three numbers after it (missing ones 0).
struct SkinEntry {
    std::string key;
    std::array<std::int32_t, 3> values {};
};

// Nothing for a heading ("[...]") or a line without a key.
std::optional<SkinEntry> ParseSkinLine(const char* line);

} // namespace pagelet
