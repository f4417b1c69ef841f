#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace pagelet {

// Skins are downloaded by users: a picture with a longer side than any skin needs is refused
// before anything is decoded.
inline constexpr int kMaxBmpSide = 4096;
// The file head and the usual info header: enough for every kind this reader knows.
inline constexpr std::size_t kBmpHeadBytes = 54;

// The head of a BMP file, for both picture decoders.
struct BmpHeader {
    std::uint32_t dataOffset = 0; // where the rows start in the file
    std::uint32_t infoSize = 0;   // 12 for the oldest info header, 40 or more for the others
    std::int32_t width = 0;       // 1..kMaxBmpSide
    std::int32_t rows = 0;        // 1..kMaxBmpSide, whichever way they are stored
    bool topDown = false;         // a negative height: the first row stored is the top one
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::int32_t dotsPerMeterX = 0;
    std::int32_t dotsPerMeterY = 0;

    // Whether a file of fileSize bytes holds every uncompressed row it claims. Qt's decoder
    // fills a short picture with garbage rather than failing; compressed rows can't be told
    // from the head and are left to its allocation limit.
    bool rowsFit(std::uint64_t fileSize) const;
};

// Nothing for a file that is no BMP, a head cut short, or a side outside 1..kMaxBmpSide.
std::optional<BmpHeader> readBmpHeader(std::span<const std::uint8_t> head);

} // namespace pagelet
