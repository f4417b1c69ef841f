#pragma once
#include "base/ReadableFile.h"

#include <QImage>
#include <cstdint>
#include <optional>
#include <span>

namespace pagelet {

// The bytes every picture's header fits in, for the usual kind.
constexpr std::size_t kPlainBmpHeadBytes = 54;

// The usual skin picture, 24 bits a pixel and uncompressed, decoded as Qt's reader would decode
// it; that reader costs several times as much a picture at start. `head` is the file's first
// bytes and `file` stands right after them: the rows are read a few at a time, so no copy of the
// whole file is ever made (fresh memory costs more than the decoding).
// Nothing, with nothing more read, for any other picture (palettes, masks, compression, a file
// short of its last row's padding): those are for Qt's reader. A null image when the file ended
// before the size it had when opened.
std::optional<QImage> readPlainBmp(std::span<const std::uint8_t> head, ReadableFile& file);

} // namespace pagelet
