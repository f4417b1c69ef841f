#include "app/MainDialog.h"

#include "platform/Commands.h"
#include "diary/DateKey.h"
#include "diary/DayMarks.h"
#include "diary/PageButtons.h"
#include "diary/PageFile.h"
#include "platform/MainWindow.h"
#include "platform/MonthCalendar.h"

namespace pagelet {

namespace {

// The end of every change of day: the new day's page or an empty one, the calendar following.
// False when the day had no page that could be shown.
bool showSelectedDay(MainDialog& dialog, MonthCalendar& calendar)
{
    const bool found = dialog.loadPage(dialog.selectedDay);
    if (!found)
        dialog.showEmptyPage();
    calendar.setSelection(dialog.selectedDay);
    return found;
}

} // namespace

// Prev and next note the day being left before storing it; a page that can't be stored keeps
// the window where it was, previousDay included.
void MainDialog::moveByDays(int days)
{
    const DayValue before = previousDay;
    previousDay = selectedDay;
    if (!storeShownPage()) {
        previousDay = before;
        return;
    }
    selectedDay = addDays(selectedDay, days);
    editor.showCaret(false);
    showSelectedDay(*this, m_ports.calendar);
    m_ports.window.invalidate();
}

void MainDialog::onPrevDay()
{
    moveByDays(-1);
}

void MainDialog::onNextDay()
{
    moveByDays(1);
}

void MainDialog::onToday()
{
    if (!storeShownPage())
        return;
    editor.showCaret(false);
    previousDay = selectedDay;
    selectedDay = m_ports.calendar.today();
    showSelectedDay(*this, m_ports.calendar);
    m_ports.window.invalidate();
}

void MainDialog::onDayPicked(const LocalDate& date)
{
    // Hidden whatever the editor believes about its caret.
    editor.caretShown = true;
    editor.showCaret(false);
    m_ports.calendar.hide();
    calendarVisible = false;
    if (!storeShownPage()) {
        // The calendar moved its selection on the tap; the shown day did not change.
        m_ports.calendar.setSelection(selectedDay);
        editor.needsRedraw = true;
        m_ports.window.invalidate();
        return;
    }
    previousDay = selectedDay;
    selectedDay = fromLocal(date);
    if (!showSelectedDay(*this, m_ports.calendar)) {
        if (SkinElement* del = skin.findElement(CMD_DELETE))
            del->enabled = false;
    }
    m_ports.window.invalidate();
}

void MainDialog::onSelectionChanged(const LocalDate& date)
{
    // Only the month number counts: the calendar asks for day states itself when it moves.
    const DayValue day = fromLocal(date);
    if (localDate(day).month != localDate(previousDay).month) {
        scanDayMarks();
        previousDay = day;
    }
}

void MainDialog::onDayStatesRequested()
{
    scanDayMarks();
}

void MainDialog::scanDayMarks()
{
    MonthCalendar& calendar = m_ports.calendar;
    const std::u16string folder = settings.dataPath;
    calendar.setDayStates(dayMarkMasks(calendar.displayedRange(), [&folder](DayValue day) {
        return dayFileExists(folder + makeDateKey(day) + kPageExtension);
    }));
}

void MainDialog::onCalendar()
{
    editor.showCaret(false);
    if (calendarVisible) {
        m_ports.calendar.hide();
        calendarVisible = false;
        editor.needsRedraw = true;
    } else {
        scanDayMarks();
        m_ports.calendar.move(skin.calendarArea);
        m_ports.calendar.show();
        calendarVisible = true;
    }
    m_ports.window.invalidate();
}

void MainDialog::onWeather()
{
    SkinElement* button = skin.findElement(CMD_WEATHER);
    if (!button)
        return;
    weather = (weather + 1) % 5;
    button->cell = weather;
}

void MainDialog::onEdit()
{
    showPageButtons(skin, {true, std::nullopt, std::nullopt});
    editor.setEditable(true);
    // The weather and time stamp buttons changed their look too.
    m_ports.window.invalidate();
}

void MainDialog::onSave()
{
    showPageButtons(skin, {false, std::nullopt, std::nullopt});
    storeShownPage();
    m_ports.window.invalidate();
}

} // namespace pagelet
