#pragma once
#include "base/ByteIo.h"

#include <QImage>

namespace pagelet {

// The usual skin picture, 24 bits a pixel and uncompressed, decoded straight from its bytes as
// Qt's reader would decode it; that reader costs several times as much a picture at start.
// Anything else (palettes, masks, compression, a short file) gives a null image, for Qt's reader.
QImage decodePlainBmp(const Bytes& file);

} // namespace pagelet
