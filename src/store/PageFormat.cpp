#include "store/PageFormat.h"

#include "crypto/SealedFile.h"

#include <algorithm>

namespace pagelet {

PageHeader decodePageHeader(const std::uint8_t* head, std::size_t headBytes, std::uint64_t fileSize)
{
    PageHeader header;
    if (headBytes < kPageHeaderBytes) {
        header.fault = PageFault::TooShort;
        return header;
    }
    // A sealed page met without its key (a window or command not told the diary is
    // encrypted): read as plain it would be noise, and stored over it would be lost.
    if (looksSealed(std::span<const std::uint8_t>(head, kPageHeaderBytes))) {
        header.fault = PageFault::Unsealed;
        return header;
    }
    ByteReader r(std::span<const std::uint8_t>(head, kPageHeaderBytes));
    std::int32_t length = 0;
    r.getInt32(header.weather);
    r.getInt32(length);
    const std::uint64_t textBytes = fileSize > kPageHeaderBytes ? fileSize - kPageHeaderBytes : 0;
    // No length while text follows: taken as empty, the page would be deleted on leaving.
    if (length < 1 && textBytes > 0) {
        header.fault = PageFault::NoLength;
        return header;
    }
    if (header.weather < 0 || header.weather > 4) {
        header.weather = 0;
        header.fault = PageFault::OddWeather;
    }
    if (length >= 1) {
        header.units = std::min<std::uint64_t>(static_cast<std::uint64_t>(length), textBytes / 2);
        if (header.units < static_cast<std::uint64_t>(length))
            header.fault = PageFault::Truncated;
    }
    return header;
}

// Sized once and copied whole: a change of day encodes a 100 KB page.
Bytes encodePage(const Page& page)
{
    ByteWriter w(kPageHeaderBytes + page.text.size() * 2);
    w.putInt32(page.weather);
    w.putInt32(static_cast<std::int32_t>(page.text.size()));
    w.putUnits(page.text);
    return w.release();
}

std::optional<Page> decodePage(const Bytes& bytes)
{
    const PageHeader header = decodePageHeader(bytes.data(), std::min(bytes.size(), kPageHeaderBytes), bytes.size());
    if (!header.usable())
        return std::nullopt;
    Page page {header.weather, {}};
    ByteReader r(bytes);
    r.skip(kPageHeaderBytes);
    r.getUnits(static_cast<std::int64_t>(header.units), page.text);
    return page;
}

} // namespace pagelet
