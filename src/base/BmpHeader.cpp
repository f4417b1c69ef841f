#include "base/BmpHeader.h"

#include "base/ByteIo.h"

namespace pagelet {

bool BmpHeader::rowsFit(std::uint64_t fileSize) const
{
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (!uncompressed || bitCount == 0 || bitCount > 32)
        return true;
    const std::int64_t stride = (std::int64_t(width) * bitCount + 31) / 32 * 4;
    const std::int64_t lastRow = (std::int64_t(width) * bitCount + 7) / 8;
    return std::int64_t(fileSize) >= std::int64_t(dataOffset) + stride * (rows - 1) + lastRow;
}

std::optional<BmpHeader> readBmpHeader(std::span<const std::uint8_t> head)
{
    ByteReader r(head);
    BmpHeader h;
    std::uint16_t magic = 0;
    std::int32_t width = 0, height = 0;
    if (!r.getUint16(magic) || magic != ('B' | 'M' << 8) || !r.skip(8) || !r.getUint32(h.dataOffset) ||
        !r.getUint32(h.infoSize))
        return std::nullopt;
    if (h.infoSize == 12) {
        std::uint16_t width16 = 0, height16 = 0;
        if (!r.getUint16(width16) || !r.getUint16(height16) || !r.getUint16(h.planes) || !r.getUint16(h.bitCount))
            return std::nullopt;
        width = width16;
        height = height16;
    } else if (h.infoSize < 40 || !r.getInt32(width) || !r.getInt32(height) || !r.getUint16(h.planes) ||
               !r.getUint16(h.bitCount) || !r.getUint32(h.compression) || !r.skip(4) || !r.getInt32(h.dotsPerMeterX) ||
               !r.getInt32(h.dotsPerMeterY) || !r.getUint32(h.colorsUsed)) {
        return std::nullopt;
    }
    const std::int64_t rows = height < 0 ? -std::int64_t(height) : height;
    if (width <= 0 || rows <= 0 || width > kMaxBmpSide || rows > kMaxBmpSide)
        return std::nullopt;
    h.width = width;
    h.rows = std::int32_t(rows);
    h.topDown = height < 0;
    return h;
}

} // namespace pagelet
