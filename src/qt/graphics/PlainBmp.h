#pragma once
#include "base/BmpHeader.h"
#include "base/ReadableFile.h"

#include <QImage>
#include <optional>

namespace pagelet {

// The usual skin picture, 24 bits a pixel and uncompressed, decoded as Qt's reader would decode
// it; that reader costs several times as much a picture at start. `file` stands right after the
// kBmpHeadBytes that `header` was read from: the rows are read a few at a time, so no copy of the
// whole file is ever made (fresh memory costs more than the decoding).
// Nothing, with nothing more read, for any other picture (palettes, masks, compression, a file
// short of its last row's padding): those are for Qt's reader. A null image when the file ended
// before the size it had when opened.
std::optional<QImage> readPlainBmp(const BmpHeader& header, ReadableFile& file);

} // namespace pagelet
