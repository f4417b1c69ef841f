#include "qt/graphics/Zoom.h"

#include "qt/graphics/QtGraphics.h"
#include "qt/ports/QtPlatform.h"
#include "settings/RegistryKey.h"

#include <cmath>
#include <cstdlib>

namespace pagelet {

int Zoom::s_percent = 100;

namespace {
const std::u16string kZoomValue = u"Zoom";
} // namespace

bool Zoom::set(int percent)
{
    int best = kSteps.front();
    for (int s : kSteps)
        if (std::abs(s - percent) < std::abs(best - percent))
            best = s;
    if (best == s_percent)
        return false;
    s_percent = best;
    return true;
}

int Zoom::stepUp()
{
    for (int s : kSteps)
        if (s > s_percent)
            return s;
    return s_percent;
}

int Zoom::stepDown()
{
    for (auto it = kSteps.rbegin(); it != kSteps.rend(); ++it)
        if (*it < s_percent)
            return *it;
    return s_percent;
}

int Zoom::load()
{
    QtRegistry registry;
    registry.open(kRegistryKeyPath);
    bool ok = false;
    const int value = toQString(registry.read(kZoomValue).value_or(u"")).toInt(&ok);
    for (int s : kSteps)
        if (ok && s == value)
            return value;
    return 100;
}

void Zoom::store()
{
    QtRegistry registry;
    registry.open(kRegistryKeyPath);
    registry.write(kZoomValue, QString::number(s_percent).toStdU16String());
}

QRect Zoom::scaled(const Rect& r)
{
    // Edges scaled, not sizes, so neighbouring rectangles still meet.
    const int l = scaled(r.left), t = scaled(r.top);
    return {l, t, scaled(r.right) - l, scaled(r.bottom) - t};
}

// Unsmoothed scaling shows in window pixel x the picture's pixel floor(x / factor): taps
// read the same pixel, and an edge at 100 % starts at the first window pixel showing it.
int Zoom::pixelAt(qreal at)
{
    return static_cast<int>(std::floor(at * 100 / s_percent));
}

int Zoom::scaled(int length)
{
    return static_cast<int>(std::ceil(length * s_percent / 100.0 - 1e-9));
}

int Zoom::unscaled(int at)
{
    return static_cast<int>(std::lround(at * 100.0 / s_percent));
}

QFont Zoom::scaled(const QFont& font, qreal factor)
{
    QFont f = font;
    if (f.pixelSize() > 0)
        f.setPixelSize(std::max(1, static_cast<int>(std::lround(f.pixelSize() * factor))));
    else
        f.setPointSizeF(f.pointSizeF() * factor);
    return f;
}

} // namespace pagelet
