#include "qt/graphics/PlainBmp.h"

#include "base/ByteIo.h"

#include <algorithm>
#include <vector>

namespace pagelet {

std::optional<QImage> readPlainBmp(std::span<const std::uint8_t> head, ReadableFile& file)
{
    ByteReader r(head);
    std::uint16_t magic = 0, planes = 0, bitCount = 0;
    std::uint32_t dataOffset = 0, infoSize = 0, compression = 0, imageSize = 0, colorsUsed = 0;
    std::int32_t width = 0, height = 0, dpmX = 0, dpmY = 0;
    if (!r.getUint16(magic) || magic != ('B' | 'M' << 8) || !r.skip(8) || !r.getUint32(dataOffset) ||
        !r.getUint32(infoSize) || !r.getInt32(width) || !r.getInt32(height) || !r.getUint16(planes) ||
        !r.getUint16(bitCount) || !r.getUint32(compression) || !r.getUint32(imageSize) || !r.getInt32(dpmX) ||
        !r.getInt32(dpmY) || !r.getUint32(colorsUsed))
        return std::nullopt;
    // Only the plain header: the later ones can carry masks and alpha.
    if (infoSize != 40 || planes != 1 || bitCount != 24 || compression != 0 || colorsUsed != 0 ||
        dataOffset < head.size())
        return std::nullopt;
    const std::int64_t w = width;
    const std::int64_t h = height < 0 ? -std::int64_t(height) : height;
    if (w <= 0 || h <= 0 || w > 32767 || h > 32767)
        return std::nullopt;
    // Every row whole, the last one's padding too: Qt's reader leaves a short row unfilled.
    const std::int64_t stride = (w * 3 + 3) / 4 * 4;
    if (std::int64_t(file.size()) < std::int64_t(dataOffset) + stride * h)
        return std::nullopt;

    QImage image(int(w), int(h), QImage::Format_RGB32);
    if (image.isNull())
        return QImage();
    // A small buffer, reused: rows in bands of a few kilobytes.
    constexpr std::int64_t kBandBytes = 16 * 1024;
    std::vector<std::uint8_t> band(std::size_t(std::max(stride, std::min(kBandBytes, stride * h))));
    for (std::int64_t at = std::int64_t(head.size()); at < dataOffset;) {
        const auto want = std::size_t(std::min<std::int64_t>(std::int64_t(band.size()), dataOffset - at));
        if (file.readInto(band.data(), want) != want)
            return QImage();
        at += std::int64_t(want);
    }
    const std::int64_t bandRows = std::int64_t(band.size()) / stride;
    const bool bottomUp = height > 0; // rows are stored from the bottom unless the height is negative
    for (std::int64_t row = 0; row < h;) {
        const std::int64_t rows = std::min(bandRows, h - row);
        const auto want = std::size_t(rows * stride);
        if (file.readInto(band.data(), want) != want)
            return QImage();
        for (std::int64_t i = 0; i < rows; ++i, ++row) {
            const std::uint8_t* in = band.data() + i * stride;
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(int(bottomUp ? h - 1 - row : row)));
            for (std::int64_t x = 0; x < w; ++x, in += 3)
                out[x] = qRgb(in[2], in[1], in[0]);
        }
    }
    image.setDotsPerMeterX(dpmX);
    image.setDotsPerMeterY(dpmY);
    return image;
}

} // namespace pagelet
