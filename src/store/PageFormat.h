#pragma once
#include "base/ByteIo.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace pagelet {

// One day's page as its file holds it: weather mark (4 bytes), N (4 bytes), N UTF-16LE units.
struct Page {
    std::int32_t weather = 0;
    std::u16string text;
};

// Larger files are not taken for pages: the editor could not hold them anyway.
inline constexpr std::int64_t kPageFileLimit = 64ll << 20;
inline constexpr std::size_t kPageHeaderBytes = 8;

// Why a page reads as it does. The first three still give a page; the rest give none.
enum class PageFault {
    None,
    Truncated,      // the length runs past the end: the units that are there
    OddWeather,     // a mark outside 0..4, shown as 0
    CannotOpen,     // not a regular file, not allowed, or too large
    TooShort,       // fewer bytes than the two numbers
    NoLength,       // a length of 0 or less while text follows
    ReadError,
    Unsealed,       // sealed: read without the diary's key, or it won't open with it (damaged,
                    // tampered, another day's or another diary's)
    Untrusted,      // plain, in an encrypted diary whose conversion ended: not written here
};

struct PageHeader {
    std::int32_t weather = 0; // within 0..4
    std::uint64_t units = 0;  // how many of the text's units the file holds
    PageFault fault = PageFault::None;
    bool usable() const { return fault == PageFault::None || fault == PageFault::Truncated || fault == PageFault::OddWeather; }
};

// The one reader of the two numbers, for every path that reads a page: headBytes of them are
// at head (fewer than 8 when the file is that short) and the whole file is fileSize bytes.
PageHeader decodePageHeader(const std::uint8_t* head, std::size_t headBytes, std::uint64_t fileSize);

Bytes encodePage(const Page& page);
// Nothing when the bytes are too short to hold the two numbers, or when the length is 0 or
// less while text follows. A length past the end takes the units that are there; a weather
// mark outside 0..4 becomes 0.
std::optional<Page> decodePage(const Bytes& bytes);

} // namespace pagelet
