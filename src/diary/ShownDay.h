#pragma once
// The shown day and its page (one owner of that state): which day, its weather mark, and the
// rules for loading, storing and erasing its page. Pages and memos are kept by the page store;
// the calendar, the recovery of journals and copies, and the memo's recorder are beside it.
#include "base/Day.h"
#include "diary/StoredPage.h"
#include "store/PageFormat.h"
#include "store/PageStore.h"

#include <cstdint>
#include <string>

namespace pagelet {

class DayJournal;
class DayMemo;
class DiaryEdit;
class MainWindowPort;
class MessageBoxPort;
class MonthCalendar;
class Skin;

// What the shown day works with: the platform, the editor that holds the page's text, the
// skin whose buttons show the page's state, the store, the page's journal and the day's memo.
struct ShownDayParts {
    MainWindowPort& window;
    MessageBoxPort& messages;
    MonthCalendar& calendar;
    DiaryEdit& editor;
    Skin& skin;
    PageStore& pages;
    DayJournal& journal;
    DayMemo& memo;
};

class ShownDay {
public:
    explicit ShownDay(const ShownDayParts& parts);

    bool loadPage(DayValue day);
    // day's page as read, in the editor; false (the buttons told) when it can't be shown.
    bool showLoaded(DayValue day, LoadedPage loaded);
    bool savePage(DayValue day, SecondWriter::Telling telling = SecondWriter::Telling::Person);
    void showEmptyPage();
    // Stores the shown page before it is left; false, after telling the user, when a page
    // with text could not be written (the caller then stays where it is).
    bool storeShownPage();
    // day becomes the shown day: its page, or an empty one; false when it had none to show.
    bool showDay(DayValue day);
    // Another writer's page in place of the one shown, which was not changed here.
    void showOutsidePage(const Page& page);
    // An older version becomes the page being written, in edit mode and not stored yet.
    void takeVersion(const Page& page);
    // Asks, then erases the day's page and memo; true when they went.
    bool deletePage();
    // The page buttons again, after the skin was replaced.
    void refreshPageButtons();
    // The editor holds text that is not in the stored page.
    bool hasUnstoredText() const { return !unchangedSinceStored(m_selectedDay); }
    StoredPage& stored() { return m_stored; }
    // Where the store keeps the day's page.
    std::u16string pagePath(DayValue day) const;

    DayValue selectedDay() const { return m_selectedDay; }
    // The shown day changes without its page (which the caller shows).
    void select(DayValue day) { m_selectedDay = day; }
    DayValue previousDay() const { return m_previousDay; }
    void setPreviousDay(DayValue day) { m_previousDay = day; }
    std::int32_t weather() const { return m_weather; }
    // The mark stored with the page; the weather button shows it on the next state change.
    void setWeather(std::int32_t weather) { m_weather = weather; }

private:
    void noteStored(DayValue day);
    bool unchangedSinceStored(DayValue day) const;

    ShownDayParts m_parts;
    DayValue m_selectedDay = 0;
    DayValue m_previousDay = 0;
    std::int32_t m_weather = 0;
    StoredPage m_stored;
};

} // namespace pagelet
