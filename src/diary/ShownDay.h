#pragma once
// The diary: the shown day and its page (one owner of that state), day keys, navigation
// between days, the calendar's day marks and the page buttons' states. Pages and memos are
// kept by the page store.
#include "base/Day.h"
#include "diary/DayMemo.h"
#include "diary/HeldJournals.h"
#include "diary/SecondWriter.h"
#include "store/PageFormat.h"
#include "store/PageStore.h"

#include "base/Geometry.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pagelet {

class DiaryEdit;
class MainWindowPort;
class MessageBoxPort;
class MonthCalendar;
class Skin;
class VoiceRecorderPort;

// What of the platform the shown day talks to.
struct ShownDayPorts {
    MainWindowPort& window;
    MessageBoxPort& messages;
    MonthCalendar& calendar;
    VoiceRecorderPort& recorder;
};

// The day on the window and its page: which day, its weather mark, whether the calendar is up,
// and the rules for loading, storing and leaving it. The page text lives in the editor; the
// buttons that show the page's state live in the skin.
class CrashJournal;

class ShownDay : public PageObserver {
public:
    ShownDay(const ShownDayPorts& ports, DiaryEdit& editor, Skin& skin, PageStore& pages);
    ~ShownDay() override;
    ShownDay(const ShownDay&) = delete;
    ShownDay& operator=(const ShownDay&) = delete;

    // Our own writes are already known; another writer's change to a page only viewed is shown.
    void pageChanged(const LocalDate& date) override { m_memo.changedHere(date); }
    void changedOutside() override;

    // Shows day as the start-up does: its page, or an empty one.
    void startOn(DayValue day);
    // The same in two steps, so the window is painted before the editor is built: the day and
    // its marks (its page read), then the page's text in the editor.
    void selectStartDay(DayValue day);
    void showStartPage();

    // Pages.
    bool loadPage(DayValue day);
    bool savePage(DayValue day);
    void showEmptyPage();
    // Stores the shown page before it is left; false, after telling the user, when a page
    // with text could not be written (the caller then stays where it is).
    bool storeShownPage();
    // The page buttons again, after the skin was replaced.
    void refreshPageButtons();
    // The data folder changed: the shown day's page as the new folder has it, and its marks;
    // the caller repaints.
    void reloadFromDataFolder();

    // Navigation and the calendar.
    void onPrevDay();
    void onToday();
    void onNextDay();
    void onCalendar();
    void onDayPicked(const LocalDate& date);
    void onSelectionChanged(const LocalDate& date);
    void onDayStatesRequested();
    void scanDayMarks();
    // The jump to a day found by a search: the page left is stored first, as on every change
    // of day; false, with the page kept, when it could not be.
    bool showFoundDay(DayValue day);

    // Page commands.
    void onWeather();
    void onEdit();
    // An older version becomes the page being written, in edit mode and not stored yet.
    void takeVersion(const Page& page);
    // The same for a version chosen in the history: text being written that was never stored
    // is kept as a version of its own first.
    void restoreVersion(const Page& page);
    // The editor holds text that is not in the stored page.
    bool hasUnstoredText() const { return !unchangedSinceStored(m_selectedDay); }
    void onSave();

    // The crash journal that keeps the page being written until it is stored; none: no journal.
    void setJournal(CrashJournal* journal) { m_journal = journal; }
    // The page as the editor has it now goes to the journal, when it differs from the stored one.
    void keepJournal();
    // keepJournal, waited for: true when the page is on disk there.
    bool keepJournalNow();
    // The change of the shown page is given up: its journal goes, or holds again only what an
    // unanswered question left there.
    void dropJournal();
    // At start: a page an earlier run left in the journal, unlike the stored one, is offered
    // back; the one taken is shown in edit mode, not yet stored. One closed without an answer
    // stays in the journal, asked again at the next start, and nothing written meanwhile on its
    // day replaces it.
    void offerJournal();

    // Erasing the day and its voice memo.
    void deletePage();
    // Sync tools' copies of the shown day's memo are offered (at start, once it has settled).
    void offerMemoCopies();
    // Opens the recorder beside the memo button, whose rectangle is given.
    void startMemo(const Rect& buttonRect);
    // Every notification of the main window passes here; the recorder's closing codes act.
    void OnNotify(int code);
    std::intptr_t recorderWindow() const { return m_recorderWindow; }

    // Where the store keeps the day's page and memo.
    std::u16string pagePath(DayValue day) const;
    std::u16string memoPath(DayValue day) const;
    bool hasMemo() const;

    DayValue selectedDay() const { return m_selectedDay; }
    DayValue previousDay() const { return m_previousDay; }
    std::int32_t weather() const { return m_weather; }
    // The mark stored with the page; the weather button shows it on the next state change.
    void setWeather(std::int32_t weather) { m_weather = weather; }
    bool calendarVisible() const { return m_calendarVisible; }

private:
    void moveByDays(int days);
    bool showSelectedDay();
    bool showSelectedPage();
    bool showJournalPage(const LocalDate& date, const Page& journal);
    // What the journal keeps for date while the page being written is page.
    Page journalPage(const LocalDate& date, Page page) const;
    // date's page is stored as stored: its journal goes, unless it holds an unanswered text.
    void settleJournal(const LocalDate& date, const Page& stored);
    bool showLoaded(DayValue day, LoadedPage loaded);
    void repaintMemoButton();
    void noteStored(DayValue day);
    bool unchangedSinceStored(DayValue day) const;
    void showOutsidePage(const Page& page);
    void offerConflictCopies();

    ShownDayPorts m_ports;
    DiaryEdit& m_editor;
    Skin& m_skin;
    PageStore& m_pages;
    DayValue m_selectedDay = 0;
    DayValue m_previousDay = 0;
    std::int32_t m_weather = 0;
    bool m_calendarVisible = false;
    std::intptr_t m_recorderWindow = 0;
    // The page as the store holds it, by this window's last load or store; only a page that
    // differs from it is written. The location tells a day in another data folder apart.
    std::u16string m_storedPath;
    Page m_storedPage;
    SecondWriter m_second;
    DayMemo m_memo;
    CrashJournal* m_journal = nullptr;
    HeldJournals m_held;
    std::optional<LoadedPage> m_startPage; // read for the first paint, shown after it
};

} // namespace pagelet
