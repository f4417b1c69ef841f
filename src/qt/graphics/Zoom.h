#pragma once
#include "base/Geometry.h"

#include <QFont>
#include <QRect>
#include <QSize>
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
    // Takes the nearest step, no larger than the largest allowed; false when nothing changed.
    bool set(int percent);
    // The next step up or down from the current one (the same at either end, and up to the
    // largest allowed).
    int stepUp() const;
    int stepDown() const;

    // The steps beyond percent don't fit the screen; the smallest step is always allowed.
    void allowUpTo(int percent) { m_largest = percent; }
    bool allows(int step) const { return step == kSteps.front() || step <= m_largest; }
    // The largest step at which base, grown by extra that doesn't scale, fits room.
    static int largestFitting(const QSize& base, const QSize& extra, const QSize& room);

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
    int m_largest = kSteps.back();
};

} // namespace pagelet
