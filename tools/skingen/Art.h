#pragma once
#include <QImage>
#include <QPainter>
#include <QRectF>

namespace skingen {

struct Theme;

// Button faces: the plate, then the picture of each button's cell.
void drawPlate(QPainter& p, const QRectF& r, const Theme& t);
void drawTopButton(QPainter& p, const QRectF& r, int cell, const Theme& t);
void drawBottomButton(QPainter& p, const QRectF& r, int cell, const Theme& t);
// Weather marks: clear, a little cloud, cloudy, rain, snow.
void drawWeather(QPainter& p, const QRectF& r, int cell, const Theme& t);

QImage programIcon(int side);
QImage settingsPicture(QSize size);

} // namespace skingen
