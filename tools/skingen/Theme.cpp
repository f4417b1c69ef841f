#include "Theme.h"

#include "Layout.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdint>

namespace skingen {

namespace {

// Bands vary only from top to bottom, so a button's soft edges, blended once against the
// band, match wherever the same picture is drawn along it.
void verticalBand(QPainter& p, const QRect& r, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(0, r.top(), 0, r.bottom() + 1);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
}

void paintPlainFrame(QImage& image, const Layout& l, const QColor& top, const QColor& bottom, const QColor& line)
{
    QPainter p(&image);
    const int w = image.width();
    const int h = image.height();
    const int bandBottom = l.text.top() - 1;
    const int barTop = l.text.bottom() + 2;
    verticalBand(p, QRect(0, 0, w, bandBottom), top, bottom);
    verticalBand(p, QRect(0, bandBottom, w, barTop - bandBottom), bottom, bottom);
    verticalBand(p, QRect(0, barTop, w, h - barTop), bottom, top);
    p.fillRect(QRect(0, bandBottom - 1, w, 1), line);
    p.fillRect(QRect(0, barTop, w, 1), line);
}

double hash(int x, int y)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

// Smooth noise: hashed lattice values, blended with a smooth step.
double noise(double x, double y)
{
    const int xi = static_cast<int>(std::floor(x));
    const int yi = static_cast<int>(std::floor(y));
    const double fx = x - xi;
    const double fy = y - yi;
    const double sx = fx * fx * (3 - 2 * fx);
    const double sy = fy * fy * (3 - 2 * fy);
    const double a = hash(xi, yi) + (hash(xi + 1, yi) - hash(xi, yi)) * sx;
    const double b = hash(xi, yi + 1) + (hash(xi + 1, yi + 1) - hash(xi, yi + 1)) * sx;
    return a + (b - a) * sy;
}

// Horizontal planks whose grain wanders a little along them.
void paintWood(QImage& image, const Layout& l, const Theme&)
{
    const int w = image.width();
    const int h = image.height();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double warp = 5.0 * noise(x / 40.0, y / 30.0) + 1.5 * noise(x / 9.0, y / 6.0);
            const double v = (y + warp) / 3.1;
            const double stripe = 0.5 + 0.5 * std::sin(v * 2.0 + 2.5 * noise(x / 70.0, y / 12.0));
            const double fibre = noise(x / 3.0, y * 1.7);
            const double t = 0.7 * stripe + 0.3 * fibre;
            const int r = static_cast<int>(122 + 48 * t);
            const int g = static_cast<int>(76 + 34 * t);
            const int b = static_cast<int>(38 + 18 * t);
            line[x] = qRgb(r, g, b);
        }
    }
    QPainter p(&image);
    // Plank joints.
    for (int y : {l.text.top() - 1, l.text.bottom() + 2})
        p.fillRect(QRect(0, y, w, 1), QColor(70, 42, 20));
    // A paper label behind the date: plain from top to bottom like the other bands.
    const QRect label(QPoint(l.date[0].left() - 3, 1), QPoint(l.date[8].right() + 2, l.band + 2));
    QPainterPath path;
    path.addRoundedRect(QRectF(label).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    QLinearGradient g(0, label.top(), 0, label.bottom() + 1);
    g.setColorAt(0, QColor(250, 240, 214));
    g.setColorAt(1, QColor(238, 222, 188));
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(path, g);
    p.setPen(QPen(QColor(92, 58, 28), 1));
    p.drawPath(path);
}

} // namespace

Theme defaultTheme()
{
    Theme t;
    t.name = "default";
    t.digitFamily = "DejaVu Sans";
    t.hangulFamily = "NanumGothic";
    t.digit = QColor(61, 68, 86);
    t.mark = QColor(61, 68, 86);
    t.weekday = QColor(61, 68, 86);
    t.sunday = QColor(200, 68, 58);
    t.saturday = QColor(47, 111, 181);
    t.paper = QColor(255, 253, 247);
    t.rule = QColor(196, 213, 235);
    t.pageEdge = QColor(200, 188, 168);
    t.plateTop = QColor(253, 251, 246);
    t.plateBottom = QColor(230, 222, 207);
    t.plateBorder = QColor(170, 156, 134);
    t.glyph = QColor(70, 78, 98);
    t.accent = QColor(200, 68, 58);
    t.calendarBackground = QColor(243, 237, 226);
    t.monthBack = QColor(255, 253, 247);
    t.calendarText = QColor(61, 68, 86);
    t.titleBack = QColor(125, 108, 84);
    t.titleText = QColor(255, 255, 255);
    t.trailingText = QColor(170, 165, 155);
    t.editText = QColor(30, 34, 44);
    t.viewText = QColor(105, 108, 118);
    t.paintFrame = [](QImage& image, const Layout& l, const Theme&) {
        paintPlainFrame(image, l, QColor(246, 241, 231), QColor(229, 220, 204), QColor(205, 193, 172));
    };
    return t;
}

Theme blueTheme()
{
    Theme t;
    t.name = "Blue";
    t.digitFamily = "DejaVu Sans";
    t.hangulFamily = "NanumGothic";
    t.digit = QColor(255, 255, 255);
    t.mark = QColor(214, 228, 250);
    t.weekday = QColor(255, 255, 255);
    t.sunday = QColor(255, 178, 168);
    t.saturday = QColor(170, 218, 255);
    t.paper = QColor(246, 250, 255);
    t.rule = QColor(182, 204, 236);
    t.pageEdge = QColor(24, 58, 110);
    t.plateTop = QColor(96, 142, 212);
    t.plateBottom = QColor(46, 92, 160);
    t.plateBorder = QColor(22, 52, 100);
    t.glyph = QColor(255, 255, 255);
    t.accent = QColor(255, 214, 102);
    t.calendarBackground = QColor(223, 233, 248);
    t.monthBack = QColor(246, 250, 255);
    t.calendarText = QColor(28, 45, 74);
    t.titleBack = QColor(36, 80, 143);
    t.titleText = QColor(255, 255, 255);
    t.trailingText = QColor(143, 163, 196);
    t.editText = QColor(16, 38, 77);
    t.viewText = QColor(91, 111, 146);
    t.paintFrame = [](QImage& image, const Layout& l, const Theme&) {
        paintPlainFrame(image, l, QColor(66, 116, 186), QColor(34, 78, 142), QColor(22, 56, 108));
    };
    return t;
}

Theme woodTheme()
{
    Theme t;
    t.name = "Wood";
    t.digitFamily = "DejaVu Serif";
    t.hangulFamily = "NanumMyeongjo";
    t.digit = QColor(74, 47, 23);
    t.mark = QColor(74, 47, 23);
    t.weekday = QColor(74, 47, 23);
    t.sunday = QColor(168, 50, 31);
    t.saturday = QColor(47, 90, 138);
    t.paper = QColor(252, 245, 228);
    t.rule = QColor(222, 202, 166);
    t.pageEdge = QColor(70, 42, 20);
    t.plateTop = QColor(242, 214, 140);
    t.plateBottom = QColor(188, 140, 56);
    t.plateBorder = QColor(96, 62, 20);
    t.glyph = QColor(66, 40, 14);
    t.accent = QColor(150, 40, 24);
    t.calendarBackground = QColor(233, 220, 195);
    t.monthBack = QColor(252, 245, 228);
    t.calendarText = QColor(59, 42, 26);
    t.titleBack = QColor(110, 68, 32);
    t.titleText = QColor(245, 230, 200);
    t.trailingText = QColor(168, 144, 112);
    t.editText = QColor(43, 29, 16);
    t.viewText = QColor(122, 102, 80);
    t.paintFrame = paintWood;
    return t;
}

} // namespace skingen
