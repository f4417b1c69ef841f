#include "qt/dialogs/LazyMonthCalendar.h"

#include "qt/dialogs/QtMonthCalendar.h"

namespace pagelet {

// The widget outlives this (its parent deletes it later): it must call nothing here.
LazyMonthCalendar::~LazyMonthCalendar()
{
    if (!m_widget)
        return;
    m_widget->dayPicked = nullptr;
    m_widget->selectionMoved = nullptr;
    m_widget->dayStatesRequested = nullptr;
    m_widget->keyboardClosed = nullptr;
}

QtMonthCalendar& LazyMonthCalendar::widget()
{
    if (m_widget)
        return *m_widget;
    m_widget = new QtMonthCalendar(m_parent, m_zoom);
    m_widget->applyZoom();
    for (int slot = 0; slot < 6; ++slot)
        if (m_colors[slot])
            m_widget->setColor(slot, *m_colors[slot]);
    m_widget->setSelection(fromLocal(toLocalDate(m_selected)));
    if (!m_masks.empty())
        m_widget->setDayStates(m_masks);
    if (m_place)
        m_widget->move(*m_place);
    // Connected last: handing over the state is no move of the user's.
    m_widget->dayPicked = [this](const LocalDate& d) { if (dayPicked) dayPicked(d); };
    m_widget->selectionMoved = [this](const LocalDate& d) { if (selectionMoved) selectionMoved(d); };
    m_widget->dayStatesRequested = [this] { if (dayStatesRequested) dayStatesRequested(); };
    m_widget->keyboardClosed = [this] { if (keyboardClosed) keyboardClosed(); };
    return *m_widget;
}

void LazyMonthCalendar::applyZoom()
{
    if (m_widget)
        m_widget->applyZoom();
}

DayValue LazyMonthCalendar::today()
{
    return fromLocal(toLocalDate(QDate::currentDate()));
}

void LazyMonthCalendar::setSelection(DayValue day)
{
    if (m_widget) {
        m_widget->setSelection(day);
        return;
    }
    const QDate date = toQDate(localDate(day));
    const bool monthChanges = date.year() != m_selected.year() || date.month() != m_selected.month();
    m_selected = date;
    if (monthChanges && dayStatesRequested)
        dayStatesRequested();
}

DisplayedRange LazyMonthCalendar::displayedRange()
{
    if (m_widget)
        return m_widget->displayedRange();
    return QtMonthCalendar::rangeShowing(m_selected.year(), m_selected.month());
}

void LazyMonthCalendar::setDayStates(const std::vector<std::uint32_t>& masks)
{
    if (m_widget)
        m_widget->setDayStates(masks);
    else
        m_masks = masks;
}

void LazyMonthCalendar::setColor(int slot, Color color)
{
    if (m_widget)
        m_widget->setColor(slot, color);
    else if (slot >= 0 && slot <= 5)
        m_colors[slot] = color;
}

Size LazyMonthCalendar::size()
{
    return QtMonthCalendar::kSize;
}

void LazyMonthCalendar::show()
{
    widget().show();
}

void LazyMonthCalendar::hide()
{
    if (m_widget)
        m_widget->hide();
}

void LazyMonthCalendar::move(const Rect& rect)
{
    if (m_widget)
        m_widget->move(rect);
    else
        m_place = rect;
}

} // namespace pagelet
