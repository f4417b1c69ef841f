#include "qt/graphics/Zoom.h"

#include <cmath>
#include <cstdlib>

namespace pagelet {

bool Zoom::set(int percent)
{
    int best = kSteps.front();
    for (int s : kSteps)
        if (std::abs(s - percent) < std::abs(best - percent))
            best = s;
    if (best == m_percent)
        return false;
    m_percent = best;
    return true;
}

int Zoom::stepUp() const
{
    for (int s : kSteps)
        if (s > m_percent)
            return s;
    return m_percent;
}

int Zoom::stepDown() const
{
    for (auto it = kSteps.rbegin(); it != kSteps.rend(); ++it)
        if (*it < m_percent)
            return *it;
    return m_percent;
}

QRect Zoom::scaled(const Rect& r) const
{
    // Edges scaled, not sizes, so neighbouring rectangles still meet.
    const int l = scaled(r.left), t = scaled(r.top);
    return {l, t, scaled(r.right) - l, scaled(r.bottom) - t};
}

// Unsmoothed scaling shows in window pixel x the picture's pixel floor(x / factor): taps
// read the same pixel, and an edge at 100 % starts at the first window pixel showing it.
int Zoom::pixelAt(qreal at) const
{
    return static_cast<int>(std::floor(at * 100 / m_percent));
}

int Zoom::scaled(int length) const
{
    return static_cast<int>(std::ceil(length * m_percent / 100.0 - 1e-9));
}

int Zoom::unscaled(int at) const
{
    return static_cast<int>(std::lround(at * 100.0 / m_percent));
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
