#pragma once
#include "base/Geometry.h"

#include <QFont>
#include <QRect>
#include <array>

namespace pagelet {

// The window's zoom, one for the whole program: the main window, the editor, the calendar
// pop-up and every dialog read it here. Everything behind the ports keeps 100 % coordinates;
// the Qt layer scales what it paints and divides what the pen gives.
class Zoom {
public:
    static constexpr std::array<int, 4> kSteps {100, 150, 200, 300};

    static int percent() { return s_percent; }
    static qreal factor() { return s_percent / 100.0; }
    // Takes the nearest step; false when nothing changed.
    static bool set(int percent);
    // The next step up or down from the current one (the same at either end).
    static int stepUp();
    static int stepDown();

    // The stored value "Zoom" (absent, unreadable or not a step: 100).
    static int load();
    static void store();

    static int scaled(int length);
    static QRect scaled(const Rect& r);
    // The 100 % pixel a window pixel lies in (for taps).
    static int pixelAt(qreal at);
    // A zoomed position back at 100 %, nearest (for positions that were scaled before).
    static int unscaled(int at);
    // The same face, factor times the size, so text is drawn at the zoomed size.
    static QFont scaled(const QFont& font, qreal factor);

private:
    static int s_percent;
};

} // namespace pagelet
