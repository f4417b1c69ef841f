#pragma once
// Where the program places each cell of a 240 x 270 skin, worked out with the loader's rules,
// so the background can be drawn to fit the buttons and the page exactly.
#include <QRect>
#include <QSize>
#include <algorithm>
#include <array>

namespace skingen {

struct CellSizes {
    QSize number {9, 16};
    QSize etc {13, 16};
    QSize weekday {13, 16};
    QSize weather {18, 18};
    QSize button1 {18, 18};
    QSize button2 {24, 20};
};

struct Layout {
    QSize client {240, 270};
    std::array<QRect, 9> date;
    QRect weather;
    std::array<QRect, 5> top;    // by button1 cell: previous, today, next, calendar, time stamp
    std::array<QRect, 6> bottom; // by button2 cell: save, edit, settings, delete, voice, find
    QRect text;
    int band = 0;

    explicit Layout(const CellSizes& s)
    {
        const int L = 3, T = 2, R = client.width() - 3, B = client.height() - 2;
        band = std::max({s.number.height(), s.etc.height(), s.weekday.height(), s.weather.height(),
                         s.button1.height()});
        auto centred = [&](QSize c) { return T + (band - c.height()) / 2; };
        const QSize cells[9] = {s.number, s.number, s.etc, s.number, s.number, s.etc, s.weekday, s.etc, s.etc};
        const int gaps[9] = {0, 1, 1, 3, 1, 1, 3, 1, 1};
        int x = L + 2;
        for (int i = 0; i < 9; ++i) {
            x += gaps[i];
            date[i] = QRect(QPoint(x, centred(cells[i])), cells[i]);
            x += cells[i].width();
        }
        weather = QRect(QPoint(x + 3, centred(s.weather)), s.weather);
        const int w = s.button1.width();
        const int y1 = centred(s.button1);
        top = {QRect(R - 4 * w - 1, y1, w, s.button1.height()), QRect(R - 3 * w - 1, y1, w, s.button1.height()),
               QRect(R - 2 * w - 1, y1, w, s.button1.height()), QRect(R - w, y1, w, s.button1.height()),
               QRect(R - 5 * w - 1, y1, w, s.button1.height())};
        const int w2 = s.button2.width();
        const int y2 = B - s.button2.height();
        const QSize b2 = s.button2;
        bottom = {QRect(QPoint(R - w2, y2), b2),     QRect(QPoint(R - w2, y2), b2),
                  QRect(QPoint(L, y2), b2),          QRect(QPoint(R - 2 * w2, y2), b2),
                  QRect(QPoint(L + w2, y2), b2),     QRect(QPoint(R - 3 * w2, y2), b2)};
        text = QRect(QPoint(L, T + band + 2), QPoint(R - 1, y2 - 2 - 1));
    }
};

} // namespace skingen
