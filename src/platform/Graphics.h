#pragma once
#include "base/Color.h"
#include "base/Geometry.h"

#include <memory>
#include <string>
#include <string_view>

namespace pagelet {

class Bitmap {
public:
    virtual ~Bitmap() = default;
    virtual Size size() const = 0;
};

// Equal cells laid side by side from the left; magenta (255, 0, 255) is transparent.
class ImageStrip {
public:
    virtual ~ImageStrip() = default;
    virtual int cellCount() const = 0; // cells actually held (0 when the bitmap was missing)
    virtual Size cellSize() const = 0;
};

// Something to draw on: the window inside a paint, or an off-screen picture.
class Surface {
public:
    virtual ~Surface() = default;
    virtual Size size() const = 0;
    virtual void fill(const Rect& rect, Color color) = 0;
    // Plain copy of dst's size from the bitmap at src, no stretching; nothing where the
    // bitmap ends.
    virtual void copyBitmap(const Bitmap& bitmap, Point src, const Rect& dst) = 0;
    // Plain copy of another surface's whole picture to dst's top-left.
    virtual void copySurface(const Surface& source, Point dst) = 0;
    // destination := destination XOR bitmap, over dst, reading the bitmap at src.
    virtual void xorBitmap(const Bitmap& bitmap, Point src, const Rect& dst) = 0;
    virtual void drawCell(const ImageStrip& strip, int cell, Point at) = 0;
    // The cell blended half and half with the selection highlight colour.
    virtual void drawCellSelected(const ImageStrip& strip, int cell, Point at) = 0;
    // A two-pixel sunken edge along the inside of rect.
    virtual void drawSunkenEdge(const Rect& rect) = 0;
    // Left-aligned from the rectangle's top, not clipped, "&" drawn as itself.
    virtual void drawText(const Rect& rect, std::u16string_view run, Color color) = 0;
    // Text from here on in the system font's family, smaller when its lines would not fit
    // rows of this many pixels.
    virtual void fitTextTo(int /*rowHeight*/) {}
};

class Graphics {
public:
    virtual ~Graphics() = default;
    // Nothing when the file is missing, unreadable or refused as unsafe.
    virtual std::unique_ptr<Bitmap> loadBitmap(const std::u16string& path) = 0;
    // A bitmap of size target made by stretching source's top-left region of size region.
    virtual std::unique_ptr<Bitmap> stretchRegion(const Bitmap& source, Size region, Size target) = 0;
    // A strip with room for cells cells of cellSize; bitmap may be null (a strip without cells).
    virtual std::unique_ptr<ImageStrip> makeStrip(const Bitmap* bitmap, Size cellSize, int cells) = 0;
    virtual std::unique_ptr<Surface> makeSurface(Size size) = 0;
    // The system font's height in pixels (the editor's line height comes from it).
    virtual int systemFontHeight() = 0;
};

} // namespace pagelet
