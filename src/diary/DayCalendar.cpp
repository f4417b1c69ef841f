#include "diary/DayCalendar.h"

#include "diary/DayMarks.h"
#include "diary/ShownDay.h"
#include "platform/MainWindow.h"
#include "platform/MonthCalendar.h"
#include "skin/Skin.h"
#include "store/PageStore.h"
#include "ui/DiaryEdit.h"

namespace pagelet {

DayCalendar::DayCalendar(MonthCalendar& calendar, MainWindowPort& window, DiaryEdit& editor, Skin& skin, PageStore& pages,
                         ShownDay& day)
    : m_calendar(calendar), m_window(window), m_editor(editor), m_skin(skin), m_pages(pages), m_day(day)
{
}

void DayCalendar::hide()
{
    m_calendar.hide();
    m_visible = false;
}

void DayCalendar::toggle()
{
    m_editor.showCaret(false);
    if (m_visible) {
        hide();
        m_editor.needsRedraw = true;
    } else {
        scanDayMarks();
        m_calendar.move(m_skin.calendarArea);
        m_calendar.show();
        m_visible = true;
    }
    m_window.invalidate();
}

void DayCalendar::onSelectionChanged(const LocalDate& date)
{
    // Only the month number counts: the calendar asks for day states itself when it moves.
    const DayValue day = fromLocal(date);
    if (localDate(day).month != localDate(m_day.previousDay()).month) {
        scanDayMarks();
        m_day.setPreviousDay(day);
    }
}

void DayCalendar::scanDayMarks()
{
    m_calendar.setDayStates(dayMarkMasks(m_calendar.displayedRange(), [this](const LocalDate& date) { return m_pages.hasPage(date); }));
}

} // namespace pagelet
