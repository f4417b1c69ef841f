#pragma once
#include "platform/MonthCalendar.h"

#include <QCalendarWidget>
#include <functional>

class QToolButton;

namespace pagelet {

class Zoom;

// The month calendar on QCalendarWidget. Programmatic changes send no notifications, as the
// core expects; the user's moves do.
class QtMonthCalendar : public QCalendarWidget, public MonthCalendar {
    Q_OBJECT
public:
    // Sized and placed at zoom, which must outlive it.
    QtMonthCalendar(QWidget* parent, const Zoom& zoom);

    std::function<void(const LocalDate&)> dayPicked;
    std::function<void(const LocalDate&)> selectionMoved;
    std::function<void()> dayStatesRequested;
    // Escape in the day table.
    std::function<void()> keyboardClosed;

    DayValue today() override;
    void setSelection(DayValue day) override;
    DisplayedRange displayedRange() override;
    void setDayStates(const std::vector<std::uint32_t>& masks) override;
    void setColor(int slot, Color color) override;
    Size size() override;
    void show() override;
    void hide() override;
    void move(const Rect& rect) override;

    // Opened from the keyboard: the day table takes the arrows, Return picks, Escape closes.
    void takeKeyboard();
    // Size, font and place follow the window's zoom.
    void applyZoom();
    // The grid of days, which holds the keyboard focus when the calendar has it.
    QWidget* dayTable() const;

    // The first day of the 6-row grid for the shown month, and for any month.
    QDate firstShownDay() const;
    static QDate gridStart(int year, int month);
    // What a bold day means here, for a screen reader ("일기 있음" unless told otherwise).
    void setMarkWords(const QString& words) { m_markWords = words; }
    const QString& markWords() const { return m_markWords; }
    bool isMarked(const QDate& date) const;
    // As a click on that day: it is selected, then picked.
    void pickDay(const QDate& date);
    // What the grid shows for a month, and the widget's fixed size.
    static DisplayedRange rangeShowing(int year, int month);
    static const Size kSize;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onPageChanged(int year, int month);
    void applyColors();

    const Zoom& m_zoom;
    Color m_colors[6] {};
    bool m_colorSet[6] {};
    std::vector<QDate> m_boldDays;
    Rect m_at;
    QToolButton* m_monthButton = nullptr;
    QString m_markWords;
};

LocalDate toLocalDate(const QDate& date);
QDate toQDate(const LocalDate& date);

} // namespace pagelet
