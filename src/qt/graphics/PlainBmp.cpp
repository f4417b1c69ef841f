#include "qt/graphics/PlainBmp.h"

#include "base/Processor.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace pagelet {

namespace {

#if defined(__x86_64__)
// The pixels before the last few of a row, four at a time; returns how many. Each load takes 16
// bytes for the 12 it uses, so it stops while at least 6 pixels remain.
[[gnu::target("ssse3")]] std::int64_t expandRowFour(const std::uint8_t* in, QRgb* out, std::int64_t w)
{
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i opaque = _mm_set1_epi32(int(0xff000000u));
    std::int64_t x = 0;
    for (; x + 6 <= w; x += 4, in += 12) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_or_si128(_mm_shuffle_epi8(bytes, spread), opaque));
    }
    return x;
}
#endif

// Three bytes a pixel, blue first, to 0xffRRGGBB. The background picture alone is a good part of
// a start's own work, so four pixels go at a time where the processor can shuffle bytes.
void expandRow(const std::uint8_t* in, QRgb* out, std::int64_t w)
{
    std::int64_t x = 0;
#if defined(__x86_64__)
    if (processorHasSsse3())
        x = expandRowFour(in, out, w);
    in += 3 * x;
#endif
    // A pixel's three bytes are a little-endian word's low bytes: one load each. The last pixel
    // of a row is taken byte by byte, as its row may end the buffer.
    for (; std::endian::native == std::endian::little && x + 1 < w; ++x, in += 3) {
        std::uint32_t word;
        std::memcpy(&word, in, sizeof word);
        out[x] = 0xff000000u | (word & 0xffffffu);
    }
    for (; x < w; ++x, in += 3)
        out[x] = qRgb(in[2], in[1], in[0]);
}

} // namespace

std::optional<QImage> readPlainBmp(const BmpHeader& header, ReadableFile& file)
{
    // Only the plain header: the later ones can carry masks and alpha.
    if (header.infoSize != 40 || header.planes != 1 || header.bitCount != 24 || header.compression != 0 ||
        header.colorsUsed != 0 || header.dataOffset < kBmpHeadBytes)
        return std::nullopt;
    const std::int64_t w = header.width, h = header.rows, dataOffset = header.dataOffset;
    // Every row whole, the last one's padding too: Qt's reader leaves a short row unfilled.
    const std::int64_t stride = (w * 3 + 3) / 4 * 4;
    if (std::int64_t(file.size()) < dataOffset + stride * h)
        return std::nullopt;

    QImage image(int(w), int(h), QImage::Format_RGB32);
    if (image.isNull())
        return QImage();
    // A small buffer, reused: rows in bands of a few kilobytes.
    constexpr std::int64_t kBandBytes = 16 * 1024;
    std::vector<std::uint8_t> band(std::size_t(std::max(stride, std::min(kBandBytes, stride * h))));
    for (std::int64_t at = std::int64_t(kBmpHeadBytes); at < dataOffset;) {
        const auto want = std::size_t(std::min<std::int64_t>(std::int64_t(band.size()), dataOffset - at));
        if (file.readInto(band.data(), want) != want)
            return QImage();
        at += std::int64_t(want);
    }
    const std::int64_t bandRows = std::int64_t(band.size()) / stride;
    for (std::int64_t row = 0; row < h;) {
        const std::int64_t rows = std::min(bandRows, h - row);
        const auto want = std::size_t(rows * stride);
        if (file.readInto(band.data(), want) != want)
            return QImage();
        for (std::int64_t i = 0; i < rows; ++i, ++row) {
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(int(header.topDown ? row : h - 1 - row)));
            expandRow(band.data() + i * stride, out, w);
        }
    }
    image.setDotsPerMeterX(header.dotsPerMeterX);
    image.setDotsPerMeterY(header.dotsPerMeterY);
    return image;
}

} // namespace pagelet
