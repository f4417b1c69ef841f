#include "app/DayNavigation.h"

#include "diary/DiaryRange.h"
#include "diary/DayCalendar.h"
#include "diary/DayMemo.h"
#include "diary/DayRecovery.h"
#include "diary/PageButtons.h"
#include "diary/ShownDay.h"
#include "platform/Commands.h"
#include "platform/MainWindow.h"
#include "platform/MonthCalendar.h"
#include "skin/Skin.h"
#include "ui/DiaryEdit.h"

namespace pagelet {

void DayNavigation::startOn(DayValue day)
{
    selectStartDay(day);
    showStartPage();
}

void DayNavigation::selectStartDay(DayValue day)
{
    ShownDay& shown = m_parts.day;
    const DayValue start = clampToDiaryRange(day);
    shown.select(start);
    shown.setPreviousDay(start);
    m_startPage = m_parts.pages.read(localDate(start));
    // The buttons as the page will show them; its text follows in showStartPage.
    const PageFileState state = m_startPage->state;
    const bool readable = state == PageFileState::Readable;
    shown.setWeather(readable ? m_startPage->page.weather : 0);
    std::optional<bool> deletable;
    if (readable || state == PageFileState::Missing)
        deletable = readable;
    showPageButtons(m_parts.skin, {!readable, shown.weather(), deletable});
}

void DayNavigation::showStartPage()
{
    if (!m_startPage)
        return;
    LoadedPage loaded = std::move(*m_startPage);
    m_startPage.reset();
    ShownDay& shown = m_parts.day;
    if (!shown.showLoaded(shown.selectedDay(), std::move(loaded)))
        shown.showEmptyPage();
    // Its copies are asked about once the start has settled.
    m_parts.memo.show(localDate(shown.selectedDay()));
}

// The end of every change of day: the new day's page or an empty one, the calendar following.
// False when the day had no page that could be shown.
bool DayNavigation::arrive(DayValue day)
{
    const bool found = m_parts.day.showDay(day);
    m_parts.recovery.offerConflictCopies();
    m_parts.memo.offerCopies();
    return found;
}

void DayNavigation::reloadFromDataFolder()
{
    m_parts.editor.showCaret(false);
    arrive(m_parts.day.selectedDay());
    m_parts.calendar.scanDayMarks();
}

// Prev and next note the day being left before storing it; a page that can't be stored keeps
// the window where it was, previousDay included. Past the diary's first or last day nothing
// happens at all.
void DayNavigation::moveByDays(int days)
{
    ShownDay& shown = m_parts.day;
    const DayValue target = addDays(shown.selectedDay(), days);
    if (!inDiaryRange(localDate(target)))
        return;
    const DayValue before = shown.previousDay();
    shown.setPreviousDay(shown.selectedDay());
    if (!shown.storeShownPage()) {
        shown.setPreviousDay(before);
        return;
    }
    shown.select(target);
    m_parts.editor.showCaret(false);
    arrive(target);
    m_parts.window.invalidate();
}

void DayNavigation::onToday()
{
    ShownDay& shown = m_parts.day;
    if (!shown.storeShownPage())
        return;
    m_parts.editor.showCaret(false);
    shown.setPreviousDay(shown.selectedDay());
    arrive(clampToDiaryRange(m_parts.monthCalendar.today()));
    m_parts.window.invalidate();
}

void DayNavigation::onDayPicked(const LocalDate& date)
{
    ShownDay& shown = m_parts.day;
    DiaryEdit& editor = m_parts.editor;
    // Hidden whatever the editor believes about its caret.
    editor.caretShown = true;
    editor.showCaret(false);
    m_parts.calendar.hide();
    if (!shown.storeShownPage()) {
        // The calendar moved its selection on the tap; the shown day did not change.
        m_parts.monthCalendar.setSelection(shown.selectedDay());
        editor.needsRedraw = true;
        m_parts.window.invalidate();
        return;
    }
    shown.setPreviousDay(shown.selectedDay());
    if (!arrive(fromLocal(clampToDiaryRange(date)))) {
        if (SkinElement* del = m_parts.skin.findElement(CMD_DELETE))
            del->enabled = false;
    }
    m_parts.window.invalidate();
}

bool DayNavigation::showFoundDay(DayValue day)
{
    if (!m_parts.day.storeShownPage())
        return false;
    arrive(day);
    m_parts.calendar.hide();
    m_parts.window.invalidate();
    return true;
}

} // namespace pagelet
