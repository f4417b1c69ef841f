#include "diary/ShownDay.h"

#include "base/FileIo.h"
#include "diary/DateKey.h"
#include "diary/DayMarks.h"
#include "diary/PageButtons.h"
#include "diary/PageFile.h"
#include "platform/Commands.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"
#include "platform/MonthCalendar.h"
#include "settings/Settings.h"
#include "skin/Skin.h"
#include "ui/DiaryEdit.h"

namespace pagelet {

namespace {

const std::u16string kSaveFailedMessage = u"일기를 저장할 수 없습니다.\n데이터 폴더를 확인하시기 바랍니다.";

} // namespace

ShownDay::ShownDay(const ShownDayPorts& ports, DiaryEdit& editor, Skin& skin, const Settings& settings)
    : m_ports(ports), m_editor(editor), m_skin(skin), m_settings(settings)
{
}

void ShownDay::startOn(DayValue day)
{
    m_selectedDay = day;
    m_previousDay = day;
    if (!loadPage(m_selectedDay))
        showEmptyPage();
}

std::u16string ShownDay::pagePath(DayValue day) const
{
    return m_settings.dataPath + makeDateKey(day) + kPageExtension;
}

std::u16string ShownDay::memoPath(DayValue day) const
{
    return m_settings.dataPath + makeDateKey(day) + u".wav";
}

bool ShownDay::loadPage(DayValue day)
{
    const std::u16string path = pagePath(day);
    if (!dayFileExists(path)) {
        if (SkinElement* del = m_skin.findElement(CMD_DELETE))
            del->enabled = false;
        return false;
    }
    LoadedPage loaded = readPageFile(path);
    if (loaded.state != PageFileState::Readable)
        return false;

    m_weather = loaded.page.weather;
    m_editor.setText(loaded.page.text);
    showPageButtons(m_skin, {false, m_weather, true});
    m_editor.setEditable(false);
    return true;
}

bool ShownDay::savePage(DayValue day)
{
    // Saving always ends editing, whatever happens to the file.
    m_editor.setEditable(false);
    if (storePageFile(pagePath(day), {m_weather, m_editor.text}) != StoreResult::Written)
        return false;
    m_editor.saved = true;
    return true;
}

bool ShownDay::storeShownPage()
{
    if (savePage(m_selectedDay) || m_editor.text.empty())
        return true;
    // Stay on the page: its text remains, unsaved, and saving is offered again.
    showPageButtons(m_skin, {true, m_weather, std::nullopt});
    m_editor.setEditable(true);
    m_editor.saved = false;
    m_ports.window.invalidate();
    m_ports.messages.show(kSaveFailedMessage, kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
    return false;
}

void ShownDay::showEmptyPage()
{
    m_weather = 0;
    m_editor.setText(u"");
    showPageButtons(m_skin, {true, m_weather, std::nullopt});
    m_editor.setEditable(true);
}

void ShownDay::refreshPageButtons()
{
    showPageButtons(m_skin, {m_editor.editable, m_weather, isFile(pagePath(m_selectedDay))});
}

// The end of every change of day: the new day's page or an empty one, the calendar following.
// False when the day had no page that could be shown.
bool ShownDay::showSelectedDay()
{
    const bool found = loadPage(m_selectedDay);
    if (!found)
        showEmptyPage();
    m_ports.calendar.setSelection(m_selectedDay);
    return found;
}

// Prev and next note the day being left before storing it; a page that can't be stored keeps
// the window where it was, previousDay included.
void ShownDay::moveByDays(int days)
{
    const DayValue before = m_previousDay;
    m_previousDay = m_selectedDay;
    if (!storeShownPage()) {
        m_previousDay = before;
        return;
    }
    m_selectedDay = addDays(m_selectedDay, days);
    m_editor.showCaret(false);
    showSelectedDay();
    m_ports.window.invalidate();
}

void ShownDay::onPrevDay()
{
    moveByDays(-1);
}

void ShownDay::onNextDay()
{
    moveByDays(1);
}

void ShownDay::onToday()
{
    if (!storeShownPage())
        return;
    m_editor.showCaret(false);
    m_previousDay = m_selectedDay;
    m_selectedDay = m_ports.calendar.today();
    showSelectedDay();
    m_ports.window.invalidate();
}

void ShownDay::onDayPicked(const LocalDate& date)
{
    // Hidden whatever the editor believes about its caret.
    m_editor.caretShown = true;
    m_editor.showCaret(false);
    m_ports.calendar.hide();
    m_calendarVisible = false;
    if (!storeShownPage()) {
        // The calendar moved its selection on the tap; the shown day did not change.
        m_ports.calendar.setSelection(m_selectedDay);
        m_editor.needsRedraw = true;
        m_ports.window.invalidate();
        return;
    }
    m_previousDay = m_selectedDay;
    m_selectedDay = fromLocal(date);
    if (!showSelectedDay()) {
        if (SkinElement* del = m_skin.findElement(CMD_DELETE))
            del->enabled = false;
    }
    m_ports.window.invalidate();
}

void ShownDay::onSelectionChanged(const LocalDate& date)
{
    // Only the month number counts: the calendar asks for day states itself when it moves.
    const DayValue day = fromLocal(date);
    if (localDate(day).month != localDate(m_previousDay).month) {
        scanDayMarks();
        m_previousDay = day;
    }
}

void ShownDay::onDayStatesRequested()
{
    scanDayMarks();
}

void ShownDay::scanDayMarks()
{
    MonthCalendar& calendar = m_ports.calendar;
    const std::u16string folder = m_settings.dataPath;
    calendar.setDayStates(dayMarkMasks(calendar.displayedRange(), [&folder](DayValue day) {
        return dayFileExists(folder + makeDateKey(day) + kPageExtension);
    }));
}

bool ShownDay::showFoundDay(DayValue day)
{
    if (!storeShownPage())
        return false;
    m_selectedDay = day;
    showSelectedDay();
    m_ports.calendar.hide();
    m_calendarVisible = false;
    m_ports.window.invalidate();
    return true;
}

void ShownDay::onCalendar()
{
    m_editor.showCaret(false);
    if (m_calendarVisible) {
        m_ports.calendar.hide();
        m_calendarVisible = false;
        m_editor.needsRedraw = true;
    } else {
        scanDayMarks();
        m_ports.calendar.move(m_skin.calendarArea);
        m_ports.calendar.show();
        m_calendarVisible = true;
    }
    m_ports.window.invalidate();
}

void ShownDay::onWeather()
{
    SkinElement* button = m_skin.findElement(CMD_WEATHER);
    if (!button)
        return;
    m_weather = (m_weather + 1) % 5;
    button->cell = m_weather;
}

void ShownDay::onEdit()
{
    showPageButtons(m_skin, {true, std::nullopt, std::nullopt});
    m_editor.setEditable(true);
    // The weather and time stamp buttons changed their look too.
    m_ports.window.invalidate();
}

void ShownDay::onSave()
{
    showPageButtons(m_skin, {false, std::nullopt, std::nullopt});
    storeShownPage();
    m_ports.window.invalidate();
}

} // namespace pagelet
