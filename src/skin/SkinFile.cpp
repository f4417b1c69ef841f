#include "skin/SkinFile.h"

#include "base/ReadableFile.h"
#include "base/Text.h"
#include "platform/MessageBox.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <sys/file.h>
#include <unistd.h>

namespace pagelet {

namespace {
// Far more than any skin's few dozen lines: anything larger is no skin file.
constexpr std::uint64_t kSkinFileLimit = 16u << 20;

bool isBreak(std::uint8_t byte)
{
    return byte == '\r' || byte == '\n';
}
} // namespace

SkinFile::SkinFile(std::int32_t bufferSize, MessageBoxPort& messages)
    : m_nBufferSize(bufferSize > 0 ? bufferSize : 1),
      m_nDataLength(static_cast<std::uint32_t>(m_nBufferSize)),
      m_pBuffer(std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(m_nBufferSize))),
      m_messages(messages)
{
}

SkinFile::~SkinFile()
{
    if (m_file >= 0)
        ::close(m_file);
}

bool SkinFile::Open(const std::u16string& path)
{
    Close();
    const int fd = ReadableFile(path, kSkinFileLimit).release();
    if (fd < 0)
        return false;
    // A shared lock keeps cooperating writers out while the skin is read.
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_file = fd;
    return true;
}

void SkinFile::Close()
{
    if (m_file >= 0) {
        ::close(m_file);
        m_file = -1;
    }
    m_nLine = 0;
    m_nPos = 0;
}

std::uint32_t SkinFile::refill()
{
    std::uint32_t got = 0;
    const auto want = static_cast<std::uint32_t>(m_nBufferSize);
    while (m_file >= 0 && got < want) {
        const ssize_t n = ::read(m_file, m_pBuffer.get() + got, want - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // a read error ends the data like the end of the file
        got += static_cast<std::uint32_t>(n);
    }
    m_nDataLength = got;
    m_nPos = 0;
    return got;
}

unsigned SkinFile::ReadLine(char* line, unsigned capacity)
{
    if (capacity == 0)
        return 0;
    line[0] = '\0';
    if (capacity < 2) // no room for a single character: nothing can be delivered
        return 0;
    unsigned n = 0;
    bool lastChunk = false;
    bool needRefill = m_nLine == 0 || m_nPos == m_nDataLength;
    for (;;) {
        if (needRefill) {
            const std::uint32_t got = refill();
            if (got == 0)
                break;
            if (got < static_cast<std::uint32_t>(m_nBufferSize))
                lastChunk = true;
        }
        while (m_nPos < m_nDataLength) {
            if (n + 1 == capacity)
                return overflow(line, n, capacity);
            const std::uint8_t byte = m_pBuffer[m_nPos];
            if (!isBreak(byte)) {
                line[n++] = static_cast<char>(byte);
            } else {
                if (m_nPos + 1 < m_nDataLength && isBreak(m_pBuffer[m_nPos + 1])) {
                    ++m_nPos;
                    if (n == 0)
                        ++m_nLine; // a blank line
                }
                if (n > 0) {
                    line[n] = '\0';
                    return ++m_nLine;
                }
            }
            ++m_nPos;
        }
        if (lastChunk)
            break;
        needRefill = true;
    }
    if (n > 0) {
        line[n] = '\0';
        return ++m_nLine;
    }
    m_nLine = 0;
    return 0;
}

unsigned SkinFile::overflow(char* line, unsigned length, unsigned capacity)
{
    ++m_nLine;
    char text[128];
    std::snprintf(text, sizeof text, "m_pBuffer overflow in line %u (line length over %d chars)", m_nLine,
                  static_cast<int>(capacity));
    m_strMessage = fromAscii(text);
    if (!m_warned) {
        m_warned = true;
        m_messages.show(m_strMessage, u"Warning !", MessageButtons::Ok, MessageIcon::Exclamation);
    }
    line[length] = '\0';
    return m_nLine;
}

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Leading white space, an optional sign, then digits up to the first non-digit; no digits
// give 0. Values beyond 32 bits stop at the nearest limit.
std::int32_t parseValue(std::string_view piece)
{
    std::size_t i = 0;
    while (i < piece.size() && isSpace(piece[i]))
        ++i;
    bool negative = false;
    if (i < piece.size() && (piece[i] == '+' || piece[i] == '-'))
        negative = piece[i++] == '-';
    std::int64_t value = 0;
    for (; i < piece.size() && piece[i] >= '0' && piece[i] <= '9'; ++i) {
        value = value * 10 + (piece[i] - '0');
        if (value > static_cast<std::int64_t>(INT32_MAX) + 1)
            value = static_cast<std::int64_t>(INT32_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        value = INT32_MAX;
    return static_cast<std::int32_t>(value);
}

} // namespace

std::optional<SkinEntry> ParseSkinLine(const char* line)
{
    const std::string_view text(line);
    std::size_t start = 0;
    while (start < text.size() && text[start] == ':')
        ++start;
    if (start == text.size())
        return std::nullopt;
    const std::size_t colon = text.find(':', start);
    SkinEntry entry;
    entry.key = std::string(text.substr(start, colon == std::string_view::npos ? std::string_view::npos : colon - start));
    if (entry.key[0] == '[')
        return std::nullopt;
    if (colon == std::string_view::npos)
        return entry;

    std::string_view rest = text.substr(colon + 1);
    std::size_t found = 0;
    while (found < entry.values.size() && !rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string_view piece = rest.substr(0, comma);
        if (!piece.empty())
            entry.values[found++] = parseValue(piece);
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    return entry;
}

} // namespace pagelet
