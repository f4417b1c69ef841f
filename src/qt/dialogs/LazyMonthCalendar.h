#pragma once
#include "platform/MonthCalendar.h"

#include <QDate>
#include <functional>
#include <optional>

class QWidget;

namespace pagelet {

class Zoom;

class QtMonthCalendar;

// The month calendar as the core sees it from the start, with the widget itself built the
// first time it is shown: building it is a good part of a start. Until then the selection,
// the colours and the day states are kept here and handed over when it is built.
class LazyMonthCalendar : public MonthCalendar {
public:
    LazyMonthCalendar(QWidget* parent, const Zoom& zoom) : m_parent(parent), m_zoom(zoom) {}
    ~LazyMonthCalendar() override;
    LazyMonthCalendar(const LazyMonthCalendar&) = delete;
    LazyMonthCalendar& operator=(const LazyMonthCalendar&) = delete;

    std::function<void(const LocalDate&)> dayPicked;
    std::function<void(const LocalDate&)> selectionMoved;
    std::function<void()> dayStatesRequested;
    std::function<void()> keyboardClosed;

    // The widget, built now if it is not yet.
    QtMonthCalendar& widget();
    bool built() const { return m_widget != nullptr; }
    // A widget not built yet takes the zoom when it is.
    void applyZoom();

    DayValue today() override;
    void setSelection(DayValue day) override;
    DisplayedRange displayedRange() override;
    void setDayStates(const std::vector<std::uint32_t>& masks) override;
    void setColor(int slot, Color color) override;
    Size size() override;
    void show() override;
    void hide() override;
    void move(const Rect& rect) override;

private:
    QWidget* m_parent;
    const Zoom& m_zoom;
    QtMonthCalendar* m_widget = nullptr; // owned by the parent
    QDate m_selected = QDate::currentDate();
    std::vector<std::uint32_t> m_masks;
    std::optional<Color> m_colors[6];
    std::optional<Rect> m_place;
};

} // namespace pagelet
