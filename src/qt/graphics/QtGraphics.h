#pragma once
#include "platform/Graphics.h"

#include <QImage>
#include <QPainter>

namespace pagelet {

class Zoom;

class QtBitmap : public Bitmap {
public:
    explicit QtBitmap(QImage image) : image(std::move(image)) {}
    Size size() const override { return {image.width(), image.height()}; }
    QImage image; // ARGB32 premultiplied or RGB32
};

class QtImageStrip : public ImageStrip {
public:
    QtImageStrip(QImage cells, Size cellSize, int cells_) : image(std::move(cells)), m_cellSize(cellSize), m_cells(cells_) {}
    int cellCount() const override { return m_cells; }
    Size cellSize() const override { return m_cellSize; }
    // The strip's picture with magenta made transparent.
    QImage image;

private:
    Size m_cellSize;
    int m_cells;
};

// Draws through a QPainter, on a widget inside its paint event or on an image it owns.
class QtSurface : public Surface {
public:
    explicit QtSurface(QPainter& painter, Size size); // paints elsewhere (a widget)
    // Owns an off-screen image of size at the zoom (none: 100 %), drawn on at 100 %. Once
    // the zoom moves on, its size reads as none so its owner draws a new one.
    explicit QtSurface(Size size, const Zoom* zoom = nullptr);
    ~QtSurface() override;

    Size size() const override;
    void fill(const Rect& rect, Color color) override;
    void copyBitmap(const Bitmap& bitmap, Point src, const Rect& dst) override;
    void copySurface(const Surface& source, Point dst) override;
    void xorBitmap(const Bitmap& bitmap, Point src, const Rect& dst) override;
    void drawCell(const ImageStrip& strip, int cell, Point at) override;
    void drawCellSelected(const ImageStrip& strip, int cell, Point at) override;
    void drawSunkenEdge(const Rect& rect) override;
    void drawText(const Rect& rect, std::u16string_view run, Color color) override;
    void fitTextTo(int rowHeight) override;

    const QImage* image() const { return m_image.isNull() ? nullptr : &m_image; }

private:
    Size m_size;
    const Zoom* m_zoom = nullptr;
    qreal m_scale = 1;
    QImage m_image;
    std::unique_ptr<QPainter> m_ownPainter;
    QPainter* m_painter = nullptr;
};

class QtGraphics : public Graphics {
public:
    // Surfaces are made at zoom, which must outlive them.
    explicit QtGraphics(const Zoom& zoom) : m_zoom(zoom) {}
    explicit QtGraphics(const Zoom&&) = delete;
    std::unique_ptr<Bitmap> loadBitmap(const std::u16string& path) override;
    std::unique_ptr<Bitmap> stretchRegion(const Bitmap& source, Size region, Size target) override;
    std::unique_ptr<ImageStrip> makeStrip(const Bitmap* bitmap, Size cellSize, int cells) override;
    std::unique_ptr<Surface> makeSurface(Size size) override;
    int systemFontHeight() override;

private:
    const Zoom& m_zoom;
};

QColor toQColor(Color color);
// The system font, or its family at the largest size whose line fits rowHeight pixels.
QFont fontFittingRows(int rowHeight);
QString toQString(std::u16string_view text);
std::u16string fromQString(const QString& text);

} // namespace pagelet
