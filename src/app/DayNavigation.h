#pragma once
// Which day the window shows, from the start on: the day buttons, a day picked on the calendar
// or found by a search, and the same day again when the data folder changed.
#include "base/Day.h"
#include "store/PageStore.h"

#include <optional>

namespace pagelet {

class DayCalendar;
class DayMemo;
class DayRecovery;
class DiaryEdit;
class MainWindowPort;
class MonthCalendar;
class ShownDay;
class Skin;

struct DayNavigationParts {
    MainWindowPort& window;
    MonthCalendar& monthCalendar;
    DiaryEdit& editor;
    Skin& skin;
    PageStore& pages;
    ShownDay& day;
    DayCalendar& calendar;
    DayRecovery& recovery;
    DayMemo& memo;
};

class DayNavigation {
public:
    explicit DayNavigation(const DayNavigationParts& parts) : m_parts(parts) {}

    // Shows day as the start-up does: its page, or an empty one.
    void startOn(DayValue day);
    // The same in two steps, so the window is painted before the editor is built: the day and
    // its marks (its page read), then the page's text in the editor.
    void selectStartDay(DayValue day);
    void showStartPage();

    void onPrevDay() { moveByDays(-1); }
    void onNextDay() { moveByDays(1); }
    void onToday();
    void onDayPicked(const LocalDate& date);
    // The jump to a day found by a search: the page left is stored first, as on every change
    // of day; false, with the page kept, when it could not be.
    bool showFoundDay(DayValue day);
    // The data folder changed: the shown day's page as the new folder has it, and its marks;
    // the caller repaints.
    void reloadFromDataFolder();

private:
    void moveByDays(int days);
    bool arrive(DayValue day);

    DayNavigationParts m_parts;
    std::optional<LoadedPage> m_startPage; // read for the first paint, shown after it
};

} // namespace pagelet
