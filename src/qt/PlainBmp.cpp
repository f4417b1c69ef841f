#include "qt/PlainBmp.h"

#include <cstdint>

namespace pagelet {

QImage decodePlainBmp(const Bytes& file)
{
    ByteReader r(file);
    std::uint16_t magic = 0, planes = 0, bitCount = 0;
    std::uint32_t dataOffset = 0, infoSize = 0, compression = 0, imageSize = 0, colorsUsed = 0;
    std::int32_t width = 0, height = 0, dpmX = 0, dpmY = 0;
    if (!r.getUint16(magic) || magic != ('B' | 'M' << 8) || !r.skip(8) || !r.getUint32(dataOffset) ||
        !r.getUint32(infoSize) || !r.getInt32(width) || !r.getInt32(height) || !r.getUint16(planes) ||
        !r.getUint16(bitCount) || !r.getUint32(compression) || !r.getUint32(imageSize) || !r.getInt32(dpmX) ||
        !r.getInt32(dpmY) || !r.getUint32(colorsUsed))
        return {};
    // Only the plain header: the later ones can carry masks and alpha.
    if (infoSize != 40 || planes != 1 || bitCount != 24 || compression != 0 || colorsUsed != 0 || dataOffset < 54)
        return {};
    const std::int64_t w = width;
    const std::int64_t h = height < 0 ? -std::int64_t(height) : height;
    if (w <= 0 || h <= 0 || w > 32767 || h > 32767)
        return {};
    // Every row whole, the last one's padding too: Qt's reader leaves a short row unfilled.
    const std::int64_t stride = (w * 3 + 3) / 4 * 4;
    if (std::int64_t(file.size()) < std::int64_t(dataOffset) + stride * h)
        return {};

    QImage image(int(w), int(h), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const bool bottomUp = height > 0; // rows are stored from the bottom unless the height is negative
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = file.data() + dataOffset + stride * (bottomUp ? h - 1 - y : y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x, in += 3)
            out[x] = qRgb(in[2], in[1], in[0]);
    }
    image.setDotsPerMeterX(dpmX);
    image.setDotsPerMeterY(dpmY);
    return image;
}

} // namespace pagelet
