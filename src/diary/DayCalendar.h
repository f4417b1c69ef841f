#pragma once
// The month calendar over the page: opened and closed by its button, and the marks of the days
// that have a page.
#include "base/Day.h"

namespace pagelet {

class DiaryEdit;
class MainWindowPort;
class MonthCalendar;
class PageStore;
class ShownDay;
class Skin;

class DayCalendar {
public:
    DayCalendar(MonthCalendar& calendar, MainWindowPort& window, DiaryEdit& editor, Skin& skin, PageStore& pages, ShownDay& day);

    // The calendar button: opens the calendar with fresh marks, or closes it.
    void toggle();
    // Closed without a repaint: the caller repaints.
    void hide();
    bool visible() const { return m_visible; }
    void onSelectionChanged(const LocalDate& date);
    void onDayStatesRequested() { scanDayMarks(); }
    void scanDayMarks();

private:
    MonthCalendar& m_calendar;
    MainWindowPort& m_window;
    DiaryEdit& m_editor;
    Skin& m_skin;
    PageStore& m_pages;
    ShownDay& m_day;
    bool m_visible = false;
};

} // namespace pagelet
