#include "Art.h"

#include "Theme.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace skingen {

namespace {

constexpr double kPi = 3.14159265358979323846;

QPen pen(const QColor& c, double width)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPainterPath cloudPath(const QRectF& r)
{
    // Three bumps on a flat bottom.
    QPainterPath path;
    const double w = r.width();
    const double h = r.height();
    path.addEllipse(QRectF(r.left(), r.top() + h * 0.38, w * 0.44, h * 0.62));
    path.addEllipse(QRectF(r.left() + w * 0.22, r.top(), w * 0.5, h * 0.8));
    path.addEllipse(QRectF(r.left() + w * 0.5, r.top() + h * 0.28, w * 0.5, h * 0.72));
    QPainterPath base;
    base.addRoundedRect(QRectF(r.left() + w * 0.18, r.top() + h * 0.5, w * 0.66, h * 0.5), h * 0.2, h * 0.2);
    return path.united(base).simplified();
}

// A yellow pencil lying at an angle, drawn along its own axis: body from tail to head, a
// wooden tip, the lead, and a pink eraser behind the tail.
struct PencilShape {
    double tail, head, halfWidth, tipLength, leadRadius, eraserLength;
};

void drawLoosePencil(QPainter& p, QPointF at, double angle, const PencilShape& s)
{
    p.save();
    p.translate(at);
    p.rotate(angle);
    p.setPen(pen(QColor(90, 60, 20), 1.0));
    p.setBrush(QColor(250, 200, 60));
    p.drawRect(QRectF(s.tail, -s.halfWidth, s.head - s.tail, 2 * s.halfWidth));
    QPainterPath tip;
    tip.moveTo(s.head, -s.halfWidth);
    tip.lineTo(s.head + s.tipLength, 0);
    tip.lineTo(s.head, s.halfWidth);
    tip.closeSubpath();
    p.setBrush(QColor(240, 214, 170));
    p.drawPath(tip);
    p.setBrush(QColor(60, 50, 40));
    p.drawEllipse(QPointF(s.head + s.tipLength - 1, 0), s.leadRadius, s.leadRadius);
    p.setBrush(QColor(238, 140, 150));
    p.drawRect(QRectF(s.tail - s.eraserLength, -s.halfWidth, s.eraserLength, 2 * s.halfWidth));
    p.restore();
}

void drawCloud(QPainter& p, const QRectF& r, const QColor& fill, const QColor& edge)
{
    const QPainterPath path = cloudPath(r);
    p.setPen(pen(edge, 1.0));
    p.setBrush(fill);
    p.drawPath(path);
}

void drawSun(QPainter& p, const QPointF& c, double radius, bool rays)
{
    if (rays) {
        p.setPen(pen(QColor(236, 150, 20), 1.3));
        for (int i = 0; i < 8; ++i) {
            const double a = i * kPi / 4;
            p.drawLine(QPointF(c.x() + std::cos(a) * radius * 1.4, c.y() + std::sin(a) * radius * 1.4),
                       QPointF(c.x() + std::cos(a) * radius * 1.95, c.y() + std::sin(a) * radius * 1.95));
        }
    }
    QRadialGradient g(c - QPointF(radius * 0.3, radius * 0.3), radius * 1.3);
    g.setColorAt(0, QColor(255, 238, 120));
    g.setColorAt(1, QColor(248, 170, 20));
    p.setPen(pen(QColor(214, 128, 10), 0.9));
    p.setBrush(g);
    p.drawEllipse(c, radius, radius);
}

void triangle(QPainter& p, const QRectF& r, bool left, const QColor& c)
{
    QPainterPath path;
    const double cx = r.center().x();
    const double cy = r.center().y();
    const double s = r.height() * 0.24;
    const double dir = left ? -1 : 1;
    path.moveTo(cx + dir * s * 1.05, cy);
    path.lineTo(cx - dir * s * 0.75, cy - s * 1.15);
    path.lineTo(cx - dir * s * 0.75, cy + s * 1.15);
    path.closeSubpath();
    p.setPen(pen(c, 1.0));
    p.setBrush(c);
    p.drawPath(path);
}

void calendarSheet(QPainter& p, const QRectF& r, const Theme& t, bool grid)
{
    const QRectF sheet(r.center().x() - 5.5, r.center().y() - 4.5, 11, 10);
    p.setPen(pen(t.glyph, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(sheet, 1.2, 1.2);
    p.fillRect(QRectF(sheet.left(), sheet.top(), sheet.width(), 2.6), t.glyph);
    if (grid) {
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 3; ++col)
                p.fillRect(QRectF(sheet.left() + 1.8 + col * 2.9, sheet.top() + 4.2 + row * 2.6, 1.6, 1.5), t.glyph);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(t.accent);
        p.drawEllipse(QPointF(sheet.center().x(), sheet.top() + 6.3), 2.2, 2.2);
    }
    p.setPen(pen(t.glyph, 1.2));
    p.drawLine(QPointF(sheet.left() + 3, sheet.top() - 1.5), QPointF(sheet.left() + 3, sheet.top() + 0.8));
    p.drawLine(QPointF(sheet.right() - 3, sheet.top() - 1.5), QPointF(sheet.right() - 3, sheet.top() + 0.8));
}

void clock(QPainter& p, const QRectF& r, const Theme& t)
{
    const QPointF c = r.center();
    p.setPen(pen(t.glyph, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 5.6, 5.6);
    p.setPen(pen(t.glyph, 1.3));
    p.drawLine(c, c + QPointF(0, -3.8));
    p.setPen(pen(t.accent, 1.3));
    p.drawLine(c, c + QPointF(2.8, 1.2));
}

void floppy(QPainter& p, const QRectF& r, const Theme& t)
{
    const QRectF d(r.center().x() - 6, r.center().y() - 6, 12, 12);
    QPainterPath body;
    body.moveTo(d.left(), d.top() + 1);
    body.lineTo(d.right() - 2.5, d.top() + 1);
    body.lineTo(d.right(), d.top() + 3.5);
    body.lineTo(d.right(), d.bottom());
    body.lineTo(d.left(), d.bottom());
    body.closeSubpath();
    p.setPen(pen(t.glyph, 1.0));
    p.setBrush(t.glyph);
    p.drawPath(body);
    p.fillRect(QRectF(d.left() + 2.5, d.top() + 1.5, 6, 3.5), t.plateTop);
    p.fillRect(QRectF(d.left() + 6.2, d.top() + 2, 1.4, 2.5), t.glyph);
    p.fillRect(QRectF(d.left() + 2, d.top() + 7, 8, 4.2), t.plateTop);
}

void pencil(QPainter& p, const QRectF& r, const Theme& t)
{
    p.save();
    p.translate(r.center());
    p.rotate(-45);
    const QRectF body(-6.5, -2, 10, 4);
    p.setPen(pen(t.glyph, 0.9));
    p.setBrush(t.accent);
    p.drawRect(body);
    QPainterPath tip;
    tip.moveTo(body.right(), body.top());
    tip.lineTo(body.right() + 3.8, 0);
    tip.lineTo(body.right(), body.bottom());
    tip.closeSubpath();
    p.setBrush(QColor(240, 214, 170));
    p.drawPath(tip);
    p.setBrush(t.glyph);
    p.drawEllipse(QPointF(body.right() + 3.2, 0), 0.8, 0.8);
    p.setBrush(QColor(238, 150, 160));
    p.drawRect(QRectF(body.left() - 2, body.top(), 2, body.height()));
    p.restore();
}

void gear(QPainter& p, const QRectF& r, const Theme& t)
{
    const QPointF c = r.center();
    QPainterPath teeth;
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(-1.5, -7, 3, 4), 0.6, 0.6);
        QTransform m;
        m.translate(c.x(), c.y());
        m.rotate(i * 45.0);
        teeth = teeth.united(m.map(tooth));
    }
    QPainterPath wheel;
    wheel.addEllipse(c, 5, 5);
    QPainterPath hole;
    hole.addEllipse(c, 2, 2);
    const QPainterPath shape = teeth.united(wheel).subtracted(hole);
    p.setPen(Qt::NoPen);
    p.setBrush(t.glyph);
    p.drawPath(shape);
}

void trash(QPainter& p, const QRectF& r, const Theme& t)
{
    const QPointF c = r.center();
    p.setPen(pen(t.glyph, 1.2));
    p.setBrush(Qt::NoBrush);
    QPainterPath can;
    can.moveTo(c.x() - 4.5, c.y() - 3.5);
    can.lineTo(c.x() - 3.6, c.y() + 6);
    can.lineTo(c.x() + 3.6, c.y() + 6);
    can.lineTo(c.x() + 4.5, c.y() - 3.5);
    p.drawPath(can);
    p.drawLine(QPointF(c.x() - 6, c.y() - 4.5), QPointF(c.x() + 6, c.y() - 4.5));
    p.drawLine(QPointF(c.x() - 1.6, c.y() - 6.3), QPointF(c.x() + 1.6, c.y() - 6.3));
    p.setPen(pen(t.glyph, 0.9));
    for (double dx : {-1.8, 0.0, 1.8})
        p.drawLine(QPointF(c.x() + dx, c.y() - 1.5), QPointF(c.x() + dx * 0.9, c.y() + 4));
}

void microphone(QPainter& p, const QRectF& r, const Theme& t)
{
    const QPointF c = r.center();
    p.setPen(pen(t.glyph, 1.0));
    p.setBrush(t.glyph);
    p.drawRoundedRect(QRectF(c.x() - 2.5, c.y() - 7, 5, 9), 2.5, 2.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(t.glyph, 1.2));
    p.drawArc(QRectF(c.x() - 5, c.y() - 5.5, 10, 9), 200 * 16, 140 * 16);
    p.drawLine(QPointF(c.x(), c.y() + 3.5), QPointF(c.x(), c.y() + 6));
    p.drawLine(QPointF(c.x() - 3, c.y() + 6.3), QPointF(c.x() + 3, c.y() + 6.3));
    p.setPen(Qt::NoPen);
    p.setBrush(t.accent);
    p.drawEllipse(QPointF(c.x() + 6.5, c.y() - 5), 1.6, 1.6);
}

void magnifier(QPainter& p, const QRectF& r, const Theme& t)
{
    const QPointF c = r.center() + QPointF(-1.5, -1.5);
    p.setPen(pen(t.glyph, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 4.3, 4.3);
    p.setPen(pen(t.glyph, 2.6));
    p.drawLine(c + QPointF(3.4, 3.4), c + QPointF(6.8, 6.8));
}

} // namespace

void drawPlate(QPainter& p, const QRectF& r, const Theme& t)
{
    const QRectF plate = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(0, plate.top(), 0, plate.bottom());
    g.setColorAt(0, t.plateTop);
    g.setColorAt(1, t.plateBottom);
    p.setPen(QPen(t.plateBorder, 1.0));
    p.setBrush(g);
    p.drawRoundedRect(plate, 3.2, 3.2);
    // A thin light line under the top edge gives the plate some relief.
    p.setPen(QPen(QColor(255, 255, 255, 110), 1.0));
    p.drawLine(QPointF(plate.left() + 2.5, plate.top() + 1), QPointF(plate.right() - 2.5, plate.top() + 1));
}

void drawTopButton(QPainter& p, const QRectF& r, int cell, const Theme& t)
{
    drawPlate(p, r, t);
    switch (cell) {
    case 0: triangle(p, r, true, t.glyph); break;
    case 1: calendarSheet(p, r, t, false); break;
    case 2: triangle(p, r, false, t.glyph); break;
    case 3: calendarSheet(p, r, t, true); break;
    case 4: clock(p, r, t); break;
    default: break;
    }
}

void drawBottomButton(QPainter& p, const QRectF& r, int cell, const Theme& t)
{
    drawPlate(p, r, t);
    switch (cell) {
    case 0: floppy(p, r, t); break;
    case 1: pencil(p, r, t); break;
    case 2: gear(p, r, t); break;
    case 3: trash(p, r, t); break;
    case 4: microphone(p, r, t); break;
    case 5: magnifier(p, r, t); break;
    default: break;
    }
}

void drawWeather(QPainter& p, const QRectF& r, int cell, const Theme&)
{
    const QColor edge(112, 124, 142);
    const QColor white(255, 255, 255);
    switch (cell) {
    case 0: drawSun(p, r.center(), r.width() * 0.24, true); break;
    case 1:
        drawSun(p, r.center() + QPointF(-2.5, -2.5), r.width() * 0.2, true);
        drawCloud(p, QRectF(r.left() + 6, r.top() + 9, 11.5, 7.5), white, edge);
        break;
    case 2:
        drawCloud(p, QRectF(r.left() + 3.5, r.top() + 7, 13, 8.5), QColor(212, 217, 226), edge);
        drawCloud(p, QRectF(r.left() + 0.8, r.top() + 3.5, 12, 8), QColor(190, 197, 208), edge);
        break;
    case 3:
        drawCloud(p, QRectF(r.left() + 1.5, r.top() + 1.5, 15, 9.5), QColor(184, 192, 206), edge);
        p.setPen(pen(QColor(40, 110, 210), 1.3));
        for (double x : {4.5, 8.5, 12.5})
            p.drawLine(QPointF(r.left() + x + 0.8, r.top() + 12.5), QPointF(r.left() + x - 0.6, r.top() + 16.5));
        break;
    case 4: {
        drawCloud(p, QRectF(r.left() + 1.5, r.top() + 1.5, 15, 9.5), white, edge);
        p.setPen(pen(QColor(70, 140, 210), 1.0));
        for (const QPointF& c : {QPointF(5, 14.2), QPointF(9, 15.5), QPointF(13, 14.2)}) {
            const QPointF at = r.topLeft() + c;
            for (int i = 0; i < 3; ++i) {
                const double a = i * kPi / 3;
                const QPointF d(std::cos(a) * 1.8, std::sin(a) * 1.8);
                p.drawLine(at - d, at + d);
            }
        }
        break;
    }
    default: break;
    }
}

QImage programIcon(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 48.0, side / 48.0);

    // Pages seen at the open edge, then the cover over them.
    p.setPen(pen(QColor(150, 130, 100), 1.0));
    p.setBrush(QColor(252, 247, 232));
    p.drawRoundedRect(QRectF(10, 5.5, 32, 38), 3, 3);
    p.setPen(pen(QColor(205, 190, 160), 0.8));
    for (double x : {40.0, 38.0})
        p.drawLine(QPointF(x, 8), QPointF(x, 41));

    QLinearGradient cover(0, 4, 0, 42);
    cover.setColorAt(0, QColor(206, 86, 62));
    cover.setColorAt(1, QColor(160, 52, 38));
    p.setPen(pen(QColor(110, 34, 24), 1.2));
    p.setBrush(cover);
    p.drawRoundedRect(QRectF(6, 4, 30, 38), 3.5, 3.5);
    p.fillRect(QRectF(6.6, 4.6, 4.5, 36.8), QColor(128, 40, 28));

    // A label with ruled lines.
    p.setPen(pen(QColor(120, 90, 60), 0.8));
    p.setBrush(QColor(255, 250, 236));
    p.drawRoundedRect(QRectF(15, 10, 17, 12), 1.5, 1.5);
    p.setPen(pen(QColor(170, 190, 220), 1.0));
    for (double y : {14.0, 17.0, 20.0})
        p.drawLine(QPointF(17, y), QPointF(30, y));

    // Bookmark ribbon.
    QPainterPath ribbon;
    ribbon.moveTo(26, 41);
    ribbon.lineTo(26, 47);
    ribbon.lineTo(28, 45);
    ribbon.lineTo(30, 47);
    ribbon.lineTo(30, 41);
    ribbon.closeSubpath();
    p.setPen(pen(QColor(150, 110, 20), 0.8));
    p.setBrush(QColor(242, 192, 60));
    p.drawPath(ribbon);

    // A pencil across the corner.
    drawLoosePencil(p, {34, 34}, -45, {-11, 4, 2.6, 6, 1.1, 3});
    return image;
}

QImage settingsPicture(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size.width() / 160.0, size.height() / 82.0);

    QLinearGradient sky(0, 0, 0, 82);
    sky.setColorAt(0, QColor(196, 226, 250));
    sky.setColorAt(1, QColor(238, 247, 255));
    p.fillRect(QRectF(0, 0, 160, 82), sky);
    // The desk.
    p.fillRect(QRectF(0, 62, 160, 20), QColor(196, 146, 96));
    p.fillRect(QRectF(0, 62, 160, 2), QColor(160, 110, 66));

    drawSun(p, QPointF(136, 17), 8, true);
    drawCloud(p, QRectF(104, 18, 30, 17), QColor(255, 255, 255), QColor(150, 170, 196));
    drawCloud(p, QRectF(20, 8, 22, 12), QColor(255, 255, 255), QColor(150, 170, 196));

    // An open diary with two ruled pages.
    QPainterPath left;
    left.moveTo(80, 30);
    left.cubicTo(66, 25, 50, 25, 34, 29);
    left.lineTo(30, 68);
    left.cubicTo(48, 64, 66, 65, 80, 70);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(80, 30);
    right.cubicTo(94, 25, 110, 25, 126, 29);
    right.lineTo(130, 68);
    right.cubicTo(112, 64, 94, 65, 80, 70);
    right.closeSubpath();
    p.setPen(pen(QColor(150, 60, 40), 1.0));
    p.setBrush(QColor(184, 70, 50));
    p.drawRoundedRect(QRectF(27, 31, 106, 41), 3, 3);
    p.setPen(pen(QColor(170, 150, 120), 1.0));
    p.setBrush(QColor(255, 252, 240));
    p.drawPath(left);
    p.drawPath(right);
    p.setPen(pen(QColor(176, 200, 232), 0.9));
    for (int i = 0; i < 5; ++i) {
        const double y = 37 + i * 6.5;
        p.drawLine(QPointF(38, y), QPointF(76, y + 1.5));
        p.drawLine(QPointF(84, y + 1.5), QPointF(122, y));
    }
    // A few written words on the left page.
    p.setPen(pen(QColor(70, 80, 110), 1.1));
    for (int i = 0; i < 3; ++i) {
        const double y = 35.5 + i * 6.5;
        QPainterPath ink;
        ink.moveTo(40, y);
        for (int k = 0; k < 7; ++k)
            ink.quadTo(42.5 + k * 4.5, y - 2.5 + (k % 2) * 1.5, 45 + k * 4.5 - (i == 2 ? 1.5 * k : 0), y);
        p.drawPath(ink);
    }
    // A small heart on the right page.
    QPainterPath heart;
    heart.moveTo(103, 52);
    heart.cubicTo(97, 47, 98, 41, 103, 44);
    heart.cubicTo(108, 41, 109, 47, 103, 52);
    p.setPen(pen(QColor(200, 70, 90), 1.0));
    p.setBrush(QColor(240, 110, 130));
    p.drawPath(heart);

    // The pencil lying across the right page.
    drawLoosePencil(p, {120, 60}, -28, {-18, 8, 3, 7, 1.2, 4});
    return image;
}

} // namespace skingen
