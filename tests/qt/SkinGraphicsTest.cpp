#include "qt/QtGraphics.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace pagelet;

namespace {

QByteArray bmpBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

void putInt32(QByteArray& b, int at, std::int32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

QImage solid(int w, int h, QColor c)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

std::u16string write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return fromQString(f.fileName());
}

QColor at(const QtSurface& s, int x, int y)
{
    return QColor(s.image()->pixel(x, y));
}

} // namespace

TEST(SkinGraphics, LoadsOnlyWholeBmpFilesOfSensibleSize)
{
    QTemporaryDir dir;
    const QByteArray good = bmpBytes(solid(30, 10, QColor(10, 200, 30)));
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        solid(30, 10, Qt::red).save(&buffer, "PNG");
    }
    QImage indexed(16, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3), qRgb(250, 0, 250)});
    indexed.fill(1);
    QByteArray wide = good;
    putInt32(wide, 18, 5000);
    QByteArray claimsHuge = good;
    putInt32(claimsHuge, 18, 4096);
    putInt32(claimsHuge, 22, 4096);
    QByteArray topDown = good;
    putInt32(topDown, 22, -10);
    QByteArray oversized = good + QByteArray(16 * 1024 * 1024, '\0');
    QDir(dir.path()).mkdir("folder.bmp");

    struct Case {
        const char* name;
        std::u16string path;
        QSize size; // empty: refused
    };
    const Case cases[] = {
        {"24-bit", write(dir, "good.bmp", good), {30, 10}},
        {"8-bit palette", write(dir, "indexed.bmp", bmpBytes(indexed)), {16, 4}},
        {"top-down rows", write(dir, "topdown.bmp", topDown), {30, 10}},
        {"truncated pixels", write(dir, "cut.bmp", good.left(good.size() - 40)), {}},
        {"header only", write(dir, "header.bmp", good.left(54)), {}},
        {"a PNG named .bmp", write(dir, "png.bmp", png), {}},
        {"wider than 4096", write(dir, "wide.bmp", wide), {}},
        {"4096 x 4096 claimed by a small file", write(dir, "huge.bmp", claimsHuge), {}},
        {"over 16 MiB", write(dir, "big.bmp", oversized), {}},
        {"empty", write(dir, "empty.bmp", {}), {}},
        {"a folder", fromQString(dir.filePath("folder.bmp")), {}},
        {"missing", fromQString(dir.filePath("missing.bmp")), {}},
    };
    QtGraphics graphics;
    for (const auto& c : cases) {
        const auto bitmap = graphics.loadBitmap(c.path);
        if (c.size.isEmpty()) {
            EXPECT_FALSE(bitmap) << c.name;
            continue;
        }
        ASSERT_TRUE(bitmap) << c.name;
        EXPECT_EQ(bitmap->size(), (Size {c.size.width(), c.size.height()})) << c.name;
    }
    const auto bitmap = graphics.loadBitmap(cases[0].path);
    EXPECT_EQ(static_cast<const QtBitmap&>(*bitmap).image.pixelColor(3, 3), QColor(10, 200, 30));
}

TEST(SkinGraphics, StripsCutCellsFromTheLeftWithMagentaTransparent)
{
    // Three 4 x 4 cells, red, green and blue, each with a magenta top-left pixel.
    QImage picture(12, 4, QImage::Format_RGB32);
    const QColor colours[3] = {QColor(200, 0, 0), QColor(0, 200, 0), QColor(0, 0, 200)};
    for (int i = 0; i < 3; ++i) {
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                picture.setPixelColor(i * 4 + x, y, colours[i]);
        picture.setPixelColor(i * 4, 0, QColor(255, 0, 255));
    }
    QtGraphics graphics;
    const QtBitmap bitmap(picture);
    const auto strip = graphics.makeStrip(&bitmap, {4, 4}, 5);
    EXPECT_EQ(strip->cellCount(), 3) << "room for five, but the picture holds three";
    EXPECT_EQ(strip->cellSize(), (Size {4, 4}));

    // Where each cell lands and that magenta shows through is probed on the window; here,
    // cells outside the strip draw nothing.
    QtSurface surface(Size {40, 10});
    for (int cell : {-1, 3, 4, 5})
        surface.drawCell(*strip, cell, {10, 2});
    EXPECT_EQ(at(surface, 12, 4), QColor(Qt::white));
    surface.drawCell(*strip, 1, {10, 2});
    EXPECT_EQ(at(surface, 12, 4), colours[1]);

    struct Empty {
        const char* name;
        const Bitmap* bitmap;
        Size cell;
    };
    for (const Empty& e : {Empty {"no picture", nullptr, {4, 4}}, Empty {"no width", &bitmap, {0, 4}},
                           Empty {"negative height", &bitmap, {4, -4}}, Empty {"wider than the picture", &bitmap, {13, 4}}}) {
        const auto s = graphics.makeStrip(e.bitmap, e.cell, 5);
        EXPECT_EQ(s->cellCount(), 0) << e.name;
        surface.drawCell(*s, 0, {0, 0}); // must not fail
    }
    // Cells taller than the picture take no more memory than the picture.
    const auto tall = graphics.makeStrip(&bitmap, {4, 1 << 30}, 5);
    EXPECT_EQ(tall->cellCount(), 3);
    EXPECT_LE(static_cast<const QtImageStrip&>(*tall).image.height(), 4);
}

TEST(SkinGraphics, IconAndSettingsPictureAreResources)
{
    const QImage icon(":/pagelet/icon.png");
    const QImage picture(":/pagelet/picture.png");
    ASSERT_FALSE(icon.isNull());
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(icon.width(), icon.height());
    EXPECT_GE(icon.width(), 32);
    EXPECT_NEAR(picture.width(), 160, 16);
    EXPECT_NEAR(picture.height(), 82, 10);
}
