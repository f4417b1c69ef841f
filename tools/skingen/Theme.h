#pragma once
#include <QColor>
#include <QImage>
#include <QString>
#include <functional>

namespace skingen {

struct Layout;

// One skin's look: its colours, its fonts and how its background is painted.
struct Theme {
    QString name;

    // Date display.
    QString digitFamily;
    QString hangulFamily;
    int digitPixels = 15;
    int hangulPixels = 14;
    QColor digit;
    QColor mark;
    QColor weekday;
    QColor sunday;
    QColor saturday;

    // The page.
    QColor paper;
    QColor rule;
    QColor pageEdge;

    // Button plates and their pictures.
    QColor plateTop;
    QColor plateBottom;
    QColor plateBorder;
    QColor glyph;
    QColor accent;

    // Month calendar and editor colours, as written to skin.skn.
    QColor calendarBackground, monthBack, calendarText, titleBack, titleText, trailingText;
    QColor editText, viewText;

    // Paints the frame around the page: the top band, the sides and the bottom bar.
    std::function<void(QImage&, const Layout&, const Theme&)> paintFrame;
};

Theme defaultTheme();
Theme blueTheme();
Theme woodTheme();

} // namespace skingen
