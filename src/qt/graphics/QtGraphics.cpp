#include "qt/graphics/QtGraphics.h"

#include "base/BmpHeader.h"
#include "base/ByteIo.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "qt/graphics/PlainBmp.h"
#include "qt/graphics/Zoom.h"

#include <QApplication>
#include <QBuffer>
#include <QFontMetrics>
#include <QImageReader>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>

namespace pagelet {

namespace {
// Skins are downloaded by users: refuse what no skin needs before decoding it.
constexpr std::size_t kMaxBitmapBytes = 16 * 1024 * 1024;
constexpr int kAllocationLimitMb = 80; // a 4096 x 4096 picture at 32 bits is 64 MiB
constexpr QRgb kTransparent = 0xFF00FF;
// Qt hands a copy of 96 rows or more to its thread pool, whose threads cost more to start than
// a window's worth of copying: big copies go in bands of fewer rows, at every zoom step too
// (times 1.5, 2 and 3 they stay whole rows, so the bands meet without a seam).
constexpr int kBandRows = 30;
} // namespace

QColor toQColor(Color color)
{
    return QColor(redOf(color), greenOf(color), blueOf(color));
}

QString toQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string fromQString(const QString& text)
{
    return text.toStdU16String();
}

QtSurface::QtSurface(QPainter& painter, Size size) : m_size(size), m_painter(&painter) {}

QtSurface::QtSurface(Size size, const Zoom* zoom) : m_size(size), m_zoom(zoom), m_scale(zoom ? zoom->factor() : 1)
{
    m_image = QImage(std::max(1, static_cast<int>(std::ceil(size.width * m_scale))),
                     std::max(1, static_cast<int>(std::ceil(size.height * m_scale))), QImage::Format_RGB32);
    m_image.fill(Qt::white);
    m_ownPainter = std::make_unique<QPainter>(&m_image);
    m_painter = m_ownPainter.get();
    m_painter->scale(m_scale, m_scale);
}

QtSurface::~QtSurface() = default;

Size QtSurface::size() const
{
    // A picture made before the zoom changed no longer fits the window: a size no one asks
    // for makes its owner draw a new one.
    if (!m_image.isNull() && m_zoom && m_scale != m_zoom->factor())
        return {-1, -1};
    return m_size;
}

void QtSurface::fill(const Rect& rect, Color color)
{
    m_painter->fillRect(QRect(rect.left, rect.top, rect.width(), rect.height()), toQColor(color));
}

void QtSurface::copyBitmap(const Bitmap& bitmap, Point src, const Rect& dst)
{
    // QPainter reads an empty source rectangle as "to the image's edge": copy nothing instead.
    if (dst.isEmpty())
        return;
    const auto& image = static_cast<const QtBitmap&>(bitmap).image;
    for (int y = 0; y < dst.height(); y += kBandRows) {
        const int rows = std::min(kBandRows, dst.height() - y);
        m_painter->drawImage(QPoint(dst.left, dst.top + y), image, QRect(src.x, src.y + y, dst.width(), rows));
    }
}

void QtSurface::copySurface(const Surface& source, Point dst)
{
    const auto* image = static_cast<const QtSurface&>(source).image();
    if (!image)
        return;
    // Pictures made at the zoom land pixel for pixel on a surface at the same zoom.
    const auto& from = static_cast<const QtSurface&>(source);
    const qreal scale = from.m_scale;
    for (int y = 0; y < from.m_size.height; y += kBandRows) {
        const int rows = std::min(kBandRows, from.m_size.height - y);
        m_painter->drawImage(QRectF(dst.x, dst.y + y, from.m_size.width, rows), *image,
                             QRectF(0, y * scale, from.m_size.width * scale, rows * scale));
    }
}

void QtSurface::xorBitmap(const Bitmap& bitmap, Point src, const Rect& dst)
{
    if (dst.isEmpty())
        return;
    const auto& image = static_cast<const QtBitmap&>(bitmap).image;
    m_painter->save();
    m_painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    m_painter->drawImage(QPoint(dst.left, dst.top), image, QRect(src.x, src.y, dst.width(), dst.height()));
    m_painter->restore();
}

void QtSurface::drawCell(const ImageStrip& strip, int cell, Point at)
{
    const auto& s = static_cast<const QtImageStrip&>(strip);
    if (cell < 0 || cell >= s.cellCount())
        return;
    const Size c = s.cellSize();
    m_painter->drawImage(QPoint(at.x, at.y), s.image, QRect(cell * c.width, 0, c.width, c.height));
}

void QtSurface::drawCellSelected(const ImageStrip& strip, int cell, Point at)
{
    const auto& s = static_cast<const QtImageStrip&>(strip);
    if (cell < 0 || cell >= s.cellCount())
        return;
    const Size c = s.cellSize();
    QImage piece = s.image.copy(cell * c.width, 0, c.width, c.height).convertToFormat(QImage::Format_ARGB32);
    const QColor hi = QApplication::palette().color(QPalette::Highlight);
    for (int y = 0; y < piece.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(piece.scanLine(y));
        for (int x = 0; x < piece.width(); ++x) {
            const QRgb p = line[x];
            if (qAlpha(p) == 0)
                continue;
            line[x] = qRgb((qRed(p) + hi.red()) / 2, (qGreen(p) + hi.green()) / 2, (qBlue(p) + hi.blue()) / 2);
        }
    }
    m_painter->drawImage(QPoint(at.x, at.y), piece);
}

void QtSurface::drawSunkenEdge(const Rect& r)
{
    const QPalette pal = QApplication::palette();
    const QColor outerDark = pal.color(QPalette::Dark);
    const QColor innerDark = pal.color(QPalette::Shadow);
    const QColor outerLight = pal.color(QPalette::Light);
    const QColor innerLight = pal.color(QPalette::Midlight);
    auto frame = [this](int l, int t, int rr, int b, const QColor& dark, const QColor& light) {
        m_painter->fillRect(QRect(l, t, rr - l, 1), dark);
        m_painter->fillRect(QRect(l, t, 1, b - t), dark);
        m_painter->fillRect(QRect(l, b - 1, rr - l, 1), light);
        m_painter->fillRect(QRect(rr - 1, t, 1, b - t), light);
    };
    frame(r.left, r.top, r.right, r.bottom, outerDark, outerLight);
    frame(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, innerDark, innerLight);
}

void QtSurface::drawText(const Rect& rect, std::u16string_view run, Color color)
{
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine;
    m_painter->setPen(toQColor(color));
    const QTransform t = m_painter->worldTransform();
    if (!t.isScaling()) {
        m_painter->drawText(QRect(rect.left, rect.top, rect.width(), rect.height()), flags, toQString(run));
        return;
    }
    // Laid out in the zoomed font, not scaled from 100 %: the glyphs then advance exactly as
    // in the editor's own layout.
    m_painter->save();
    m_painter->setWorldTransform(QTransform::fromTranslate(t.dx(), t.dy()));
    m_painter->setFont(Zoom::scaled(m_painter->font(), t.m11()));
    // Edges as Zoom::scaled puts them, where the editor places its caret.
    const auto edge = [s = t.m11()](int at) { return static_cast<int>(std::ceil(at * s - 1e-9)); };
    m_painter->drawText(QRect(QPoint(edge(rect.left), edge(rect.top)), QPoint(edge(rect.right) - 1, edge(rect.bottom) - 1)),
                        flags, toQString(run));
    m_painter->restore();
}

void QtSurface::fitTextTo(int rowHeight)
{
    const QFont font = fontFittingRows(rowHeight);
    if (m_painter->font() != font)
        m_painter->setFont(font);
}

QFont fontFittingRows(int rowHeight)
{
    QFont font = QApplication::font();
    if (rowHeight <= 0 || QFontMetrics(font).height() <= rowHeight)
        return font;
    for (int size = rowHeight; size > 1; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).height() <= rowHeight)
            break;
    }
    return font;
}

std::unique_ptr<Bitmap> QtGraphics::loadBitmap(const std::u16string& path)
{
    // Read like every other file: a FIFO or device named like a picture must not block us.
    ReadableFile file(path, kMaxBitmapBytes);
    std::uint8_t headBytes[kBmpHeadBytes];
    const auto got = file.readInto(headBytes, sizeof headBytes);
    if (!got)
        return nullptr;
    const std::span<const std::uint8_t> head(headBytes, *got);
    const auto header = readBmpHeader(head);
    if (!header || !header->rowsFit(file.size()))
        return nullptr;
    if (auto plain = readPlainBmp(*header, file)) {
        if (plain->isNull())
            return nullptr;
        return std::make_unique<QtBitmap>(std::move(*plain));
    }
    // Any other picture goes whole to Qt's reader, the head in front of the rest.
    Bytes bytes(std::max<std::size_t>(static_cast<std::size_t>(file.size()), head.size()));
    std::copy(head.begin(), head.end(), bytes.begin());
    const auto rest = file.readInto(bytes.data() + head.size(), bytes.size() - head.size());
    if (!rest)
        return nullptr;
    bytes.resize(head.size() + *rest);
    QBuffer buffer;
    buffer.setData(QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(kAllocationLimitMb);
    const QSize size = reader.size(); // rows stored top-down give a negative height
    if (size.width() <= 0 || size.height() == 0 || size.width() > kMaxBmpSide ||
        std::abs(size.height()) > kMaxBmpSide)
        return nullptr;
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return nullptr;
    return std::make_unique<QtBitmap>(image.convertToFormat(QImage::Format_RGB32));
}

std::unique_ptr<Bitmap> QtGraphics::stretchRegion(const Bitmap& source, Size region, Size target)
{
    const auto& image = static_cast<const QtBitmap&>(source).image;
    QImage out(target.width, target.height, QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    p.drawImage(QRect(0, 0, target.width, target.height), image, QRect(0, 0, region.width, region.height));
    p.end();
    return std::make_unique<QtBitmap>(out);
}

std::unique_ptr<ImageStrip> QtGraphics::makeStrip(const Bitmap* bitmap, Size cellSize, int cells)
{
    if (!bitmap || cellSize.width <= 0 || cellSize.height <= 0 || cells <= 0)
        return std::make_unique<QtImageStrip>(QImage(), cellSize, 0);
    const auto& image = static_cast<const QtBitmap&>(*bitmap).image;
    const int fit = static_cast<int>(std::min<qint64>(cells, image.width() / cellSize.width));
    if (fit <= 0)
        return std::make_unique<QtImageStrip>(QImage(), cellSize, 0);
    // Only what the picture holds: cells larger than the picture must not allocate more.
    const int width = static_cast<int>(std::min<qint64>(image.width(), qint64(cellSize.width) * fit));
    const int height = std::min(image.height(), cellSize.height);
    // The key is matched on the colour as drawn. A picture without alpha is opaque, and a keyed
    // pixel fully clear, so it is premultiplied already (the usual skin picture: no conversion).
    const bool opaque = !image.hasAlphaChannel();
    QImage strip = image.copy(0, 0, width, height)
                       .convertToFormat(opaque ? QImage::Format_ARGB32_Premultiplied : QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
        for (int x = 0; x < width; ++x)
            if ((line[x] & 0xFFFFFF) == kTransparent)
                line[x] = 0;
    }
    if (!opaque)
        strip.convertTo(QImage::Format_ARGB32_Premultiplied);
    return std::make_unique<QtImageStrip>(std::move(strip), cellSize, fit);
}

std::unique_ptr<Surface> QtGraphics::makeSurface(Size size)
{
    return std::make_unique<QtSurface>(size, &m_zoom);
}

int QtGraphics::systemFontHeight()
{
    return QFontMetrics(QApplication::font()).height();
}

} // namespace pagelet
