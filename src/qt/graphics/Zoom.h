#pragma once
#include "base/Geometry.h"

#include <QFont>
#include <QRect>
#include <array>

namespace pagelet {

// The window's zoom: the window owns one and hands it to the editor, the calendar pop-up,
// the dialogs and the pictures it makes. Everything behind the ports keeps 100 % coordinates;
// the Qt layer scales what it paints and divides what the pen gives.
class Zoom {
public:
    static constexpr std::array<int, 4> kSteps {100, 150, 200, 300};

    int percent() const { return m_percent; }
    qreal factor() const { return m_percent / 100.0; }
    // Takes the nearest step; false when nothing changed.
    bool set(int percent);
    // The next step up or down from the current one (the same at either end).
    int stepUp() const;
    int stepDown() const;

    int scaled(int length) const;
    QRect scaled(const Rect& r) const;
    // The 100 % pixel a window pixel lies in (for taps).
    int pixelAt(qreal at) const;
    // A zoomed position back at 100 %, nearest (for positions that were scaled before).
    int unscaled(int at) const;
    // The same face at the zoomed size.
    QFont scaled(const QFont& font) const { return scaled(font, factor()); }
    // The same face, factor times the size, so text is drawn at the zoomed size.
    static QFont scaled(const QFont& font, qreal factor);

private:
    int m_percent = 100;
};

} // namespace pagelet
