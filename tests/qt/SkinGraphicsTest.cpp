// Bitmaps and strips on the real drawing layer, and the skins we ship.
#include "fakes/Fakes.h"
#include "qt/graphics/PlainBmp.h"
#include "qt/graphics/ProgramIcon.h"
#include "qt/graphics/QtGraphics.h"
#include "qt/graphics/Zoom.h"
#include "skin/LoadSkin.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace pagelet;

namespace {

QByteArray encoded(const QImage& image, const char* format = "BMP")
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray withInt32(QByteArray b, int at, std::int32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return b;
}

// A black 24-bit picture behind the oldest, 12-byte info header, which Qt no longer writes.
QByteArray oldHeader(std::uint16_t w, std::uint16_t h)
{
    const int stride = (w * 3 + 3) / 4 * 4;
    QByteArray b("BM", 2);
    for (const auto& [value, bytes] : {std::pair {26 + stride * h, 4}, {0, 4}, {26, 4}, {12, 4}, {w, 2}, {h, 2}, {1, 2}, {24, 2}})
        for (int i = 0; i < bytes; ++i)
            b += char((value >> (8 * i)) & 0xFF);
    return b + QByteArray(stride * h, '\0');
}

QImage solid(int w, int h, QColor c)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

} // namespace

TEST(SkinGraphics, LoadsOnlyWholeBmpFilesOfSensibleSize)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("folder.bmp");
    const QByteArray good = encoded(solid(30, 10, QColor(10, 200, 30)));
    QImage indexed(16, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3), qRgb(250, 0, 250)});
    indexed.fill(1);
    struct Case {
        const char* name;
        QByteArray bytes; // none: the file is left as it is
        QSize size;       // empty: refused
    };
    const Case cases[] = {
        {"24-bit", good, {30, 10}},
        {"8-bit palette", encoded(indexed), {16, 4}},
        {"top-down rows", withInt32(good, 22, -10), {30, 10}},
        {"truncated pixels", good.left(good.size() - 40), {}},
        {"a PNG named .bmp", encoded(solid(30, 10, Qt::red), "PNG"), {}},
        {"4096 wide", encoded(solid(4096, 1, Qt::red)), {4096, 1}},
        {"wider than 4096", encoded(solid(4097, 1, Qt::red)), {}},
        {"4096 tall", encoded(solid(1, 4096, Qt::red)), {1, 4096}},
        {"taller than 4096", encoded(solid(1, 4097, Qt::red)), {}},
        {"taller than 4096, top-down", withInt32(encoded(solid(1, 4097, Qt::red)), 22, -4097), {}},
        {"the oldest header", oldHeader(3, 2), {3, 2}},
        {"taller than 4096 in the oldest header", oldHeader(1, 4097), {}},
        {"4096 x 4096 claimed by a small file", withInt32(withInt32(good, 18, 4096), 22, 4096), {}},
        {"over 16 MiB", good + QByteArray(16 * 1024 * 1024, '\0'), {}},
        {"folder", {}, {}},
        {"missing", {}, {}},
    };
    const Zoom zoom;
    QtGraphics graphics {zoom};
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString(c.name) + ".bmp");
        if (!c.bytes.isEmpty()) {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(c.bytes);
        }
        const auto bitmap = graphics.loadBitmap(fromQString(path));
        ASSERT_EQ(bool(bitmap), !c.size.isEmpty()) << c.name;
        if (bitmap) {
            EXPECT_EQ(bitmap->size(), (Size {c.size.width(), c.size.height()})) << c.name;
        }
    }
    const auto bitmap = graphics.loadBitmap(fromQString(dir.filePath("24-bit.bmp")));
    EXPECT_EQ(static_cast<const QtBitmap&>(*bitmap).image.pixelColor(3, 3), QColor(10, 200, 30));
}

// The quick decoder gives what Qt's reader gives, or nothing and leaves the file to it.
TEST(SkinGraphics, PlainBmpDecodesAsQtsReaderOrNotAtAll)
{
    QImage ramp(5, 3, QImage::Format_RGB32); // odd width: rows carry padding
    for (int y = 0; y < ramp.height(); ++y)
        for (int x = 0; x < ramp.width(); ++x)
            ramp.setPixel(x, y, qRgb(40 * x, 70 * y, 7 * x + 11 * y));
    QImage indexed(4, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3)});
    indexed.fill(0);
    const QByteArray bmp = encoded(ramp);
    QImage tall(70, 100, QImage::Format_RGB32); // rows read in more than one band
    for (int y = 0; y < tall.height(); ++y)
        for (int x = 0; x < tall.width(); ++x)
            tall.setPixel(x, y, qRgb(3 * x, 2 * y + 1, x ^ y));
    const struct {
        const char* name;
        QByteArray bytes;
        bool decoded;
    } cases[] = {
        {"bottom-up", bmp, true},
        {"top-down", withInt32(bmp, 22, -3), true},
        {"no padding", encoded(ramp.copy(0, 0, 4, 3)), true},
        {"four at a time, then two", encoded(tall.copy(0, 0, 6, 2)), true},
        {"8-bit palette", encoded(indexed), false},
        {"last row short", bmp.left(bmp.size() - 1), false},
        {"several bands", encoded(tall), true},
    };
    QTemporaryDir dir;
    // Written to a file and decoded as the loader does it: the head first, `meanwhile`, the rows.
    const auto readBack = [&dir](const char* name, const QByteArray& bytes,
                                 const std::function<void(const QString&)>& meanwhile = {}) -> std::optional<QImage> {
        const QString path = dir.filePath(QString(name) + ".bmp");
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
            ADD_FAILURE() << "cannot write " << name;
            return std::nullopt;
        }
        out.close();
        ReadableFile file(fromQString(path), 1 << 20);
        std::uint8_t head[kBmpHeadBytes];
        const auto got = file.readInto(head, sizeof head);
        EXPECT_TRUE(got) << name;
        const auto header = readBmpHeader({head, got.value_or(0)});
        EXPECT_TRUE(header) << name;
        if (meanwhile)
            meanwhile(path);
        return header ? readPlainBmp(*header, file) : std::nullopt;
    };
    for (const auto& c : cases) {
        const QImage quick = readBack(c.name, c.bytes).value_or(QImage());
        EXPECT_EQ(!quick.isNull(), c.decoded) << c.name;
        if (quick.isNull())
            continue;
        QBuffer buffer;
        buffer.setData(c.bytes);
        const QImage qt = QImageReader(&buffer, "bmp").read();
        EXPECT_EQ(quick, qt) << c.name;
        EXPECT_EQ(quick.dotsPerMeterX(), qt.dotsPerMeterX()) << c.name;
    }

    // Cut short after it was opened: broken, not a picture with rows of garbage.
    const auto shrunk = readBack("shrinking", encoded(tall), [](const QString& path) { EXPECT_TRUE(QFile::resize(path, 1000)); });
    ASSERT_TRUE(shrunk.has_value());
    EXPECT_TRUE(shrunk->isNull());
}

TEST(SkinGraphics, StripsCutCellsFromTheLeftAndHoldNoMoreThanThePicture)
{
    // Three 4 x 4 cells, red, green and blue.
    QImage picture(12, 4, QImage::Format_RGB32);
    const QColor colours[3] = {QColor(200, 0, 0), QColor(0, 200, 0), QColor(0, 0, 200)};
    for (int x = 0; x < 12; ++x)
        for (int y = 0; y < 4; ++y)
            picture.setPixelColor(x, y, colours[x / 4]);
    const Zoom zoom;
    QtGraphics graphics {zoom};
    const QtBitmap bitmap(picture);
    const auto strip = graphics.makeStrip(&bitmap, {4, 4}, 5);
    EXPECT_EQ(strip->cellCount(), 3) << "room for five, but the picture holds three";

    // Where each cell lands and that magenta shows through is probed on the window; here,
    // cells outside the strip draw nothing.
    QtSurface surface(Size {40, 10});
    for (int cell : {-1, 3, 4, 5})
        surface.drawCell(*strip, cell, {10, 2});
    EXPECT_EQ(surface.image()->pixelColor(12, 4), QColor(Qt::white));
    surface.drawCell(*strip, 1, {10, 2});
    EXPECT_EQ(surface.image()->pixelColor(12, 4), colours[1]);

    for (const auto& [picture, cell] : std::vector<std::pair<const Bitmap*, Size>> {
             {nullptr, {4, 4}}, {&bitmap, {0, 4}}, {&bitmap, {4, -4}}, {&bitmap, {13, 4}}}) {
        const auto s = graphics.makeStrip(picture, cell, 5);
        EXPECT_EQ(s->cellCount(), 0) << cell.width << " x " << cell.height;
        surface.drawCell(*s, 0, {0, 0}); // must not fail
    }
    // Cells taller than the picture take no more memory than the picture.
    const auto tall = graphics.makeStrip(&bitmap, {4, 1 << 30}, 5);
    EXPECT_EQ(tall->cellCount(), 3);
    EXPECT_LE(static_cast<const QtImageStrip&>(*tall).image.height(), 4);

    // Magenta keyed out, on the colour as drawn, whether the picture has alpha or not.
    for (const auto format : {QImage::Format_RGB32, QImage::Format_ARGB32}) {
        QImage keyed(3, 1, format);
        keyed.setPixel(0, 0, qRgba(255, 0, 255, 255));
        keyed.setPixel(1, 0, qRgba(10, 20, 30, 255));
        keyed.setPixel(2, 0, format == QImage::Format_ARGB32 ? qRgba(255, 0, 255, 128) : qRgb(1, 2, 3));
        const QtBitmap source(keyed);
        const QImage got = static_cast<const QtImageStrip&>(*graphics.makeStrip(&source, {3, 1}, 1)).image;
        EXPECT_EQ(got.format(), QImage::Format_ARGB32_Premultiplied) << format;
        EXPECT_EQ(got.pixel(0, 0), 0u) << format;
        EXPECT_EQ(got.pixel(1, 0), qRgba(10, 20, 30, 255)) << format;
        EXPECT_EQ(got.pixel(2, 0), format == QImage::Format_ARGB32 ? 0u : qRgb(1, 2, 3)) << format;
    }

    EXPECT_FALSE(QImage(":/pagelet/icon.png").isNull());
    EXPECT_FALSE(QImage(":/pagelet/picture.png").isNull());
    // The window's icon is compiled in from the same picture, pixel for pixel.
    const QImage icon = QImage(":/pagelet/icon.png").convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(programIconImage(), icon);
}

TEST(ShippedSkins, AreCompleteLaidOutWithoutCollisionsAndRuledUnderEveryLine)
{
    for (const char* name : {"default", "Blue", "Wood"}) {
        SCOPED_TRACE(name);
        const Zoom zoom;
        QtGraphics graphics {zoom};
        fakes::FakeCalendar calendar;
        fakes::FakeMessageBox messages;
        Skin skin;
        const std::u16string folder = fromQString(QStringLiteral(PAGELET_RES_DIR "/skins/") + name + "/");
        ASSERT_TRUE(LoadSkin(skin, folder, {graphics, calendar, messages, {240, 270}, 0}));
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(calendar.colors.size(), 6u);
        const std::pair<const ImageStrip*, int> strips[] = {{skin.etcStrip.get(), 4},     {skin.numberStrip.get(), 10},
                                                            {skin.weekdayStrip.get(), 7}, {skin.weatherStrip.get(), 5},
                                                            {skin.button1Strip.get(), 5}, {skin.button2Strip.get(), 6}};
        for (const auto& [strip, cells] : strips)
            EXPECT_EQ(strip ? strip->cellCount() : -1, cells);

        ASSERT_EQ(skin.elements.size(), 11u);
        std::vector<Rect> placed(skin.dateCells.begin(), skin.dateCells.end());
        for (const auto& e : skin.elements)
            placed.push_back(e->rect);
        auto overlap = [](const Rect& a, const Rect& b) {
            return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
        };
        for (std::size_t i = 0; i < placed.size(); ++i) {
            const Rect& r = placed[i];
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= 240 && r.bottom <= 270) << i;
            EXPECT_FALSE(overlap(r, skin.textArea)) << i;
            for (std::size_t j = i + 1; j < placed.size(); ++j)
                EXPECT_FALSE(overlap(r, placed[j])) << i << " and " << j;
        }

        // The editor writes line n in a box 14 high (the line height here), 2 + n * 14 below
        // the page top; a rule runs between each box and the next.
        const auto back = graphics.loadBitmap(folder + u"back.bmp");
        ASSERT_TRUE(back);
        ASSERT_EQ(back->size(), (Size {240, 270}));
        const QImage& image = static_cast<const QtBitmap&>(*back).image;
        const Rect t = skin.textArea;
        const QRgb paper = image.pixel(t.left + 30, t.top + 3);
        int rules = 0;
        for (int y = t.top; y < t.bottom; ++y) {
            const bool rule = y > t.top + 2 && (y - t.top - 2) % 14 == 0;
            for (int x : {t.left + 10, (t.left + t.right) / 2, t.right - 10})
                EXPECT_EQ(image.pixel(x, y) != paper, rule) << "x " << x << " y " << y;
            rules += rule;
        }
        EXPECT_GE(rules, 12) << "room for a dozen lines";
    }
}
