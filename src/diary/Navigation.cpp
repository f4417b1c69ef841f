#include "app/MainDialog.h"

#include "platform/MainWindow.h"
#include "platform/MonthCalendar.h"

namespace pagelet {

// Simple day changes until navigation lands.
void MainDialog::onPrevDay()
{
    storeShownPage();
    selectedDay = addDays(selectedDay, -1);
    if (!loadPage(selectedDay))
        showEmptyPage();
    m_ports.calendar.setSelection(selectedDay);
    m_ports.window.invalidate();
}

void MainDialog::onNextDay()
{
    storeShownPage();
    selectedDay = addDays(selectedDay, 1);
    if (!loadPage(selectedDay))
        showEmptyPage();
    m_ports.calendar.setSelection(selectedDay);
    m_ports.window.invalidate();
}

void MainDialog::onToday() {}
void MainDialog::onCalendar() {}
void MainDialog::onWeather() {}
void MainDialog::onEdit() {}
void MainDialog::onSave() {}
void MainDialog::onDayPicked(const LocalDate&) {}
void MainDialog::onSelectionChanged(const LocalDate&) {}
void MainDialog::onDayStatesRequested() {}

} // namespace pagelet
