#include "qt/dialogs/CalendarDaysAccessible.h"

#include "qt/dialogs/CalendarDayAccessible.h"
#include "qt/dialogs/QtMonthCalendar.h"

namespace pagelet {

CalendarDaysAccessible::CalendarDaysAccessible(QWidget* table, QtMonthCalendar* calendar)
    : QAccessibleWidget(table, QAccessible::Table), m_calendar(calendar)
{
}

CalendarDaysAccessible::~CalendarDaysAccessible()
{
    for (QAccessible::Id id : m_ids)
        QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface* CalendarDaysAccessible::child(int index) const
{
    if (index < 0 || index >= kDays)
        return nullptr;
    if (m_days.empty()) {
        for (int i = 0; i < kDays; ++i) {
            auto* day = new CalendarDayAccessible(m_calendar, i);
            m_ids.push_back(QAccessible::registerAccessibleInterface(day));
            m_days.push_back(day);
        }
    }
    return m_days[index];
}

int CalendarDaysAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    for (std::size_t i = 0; i < m_days.size(); ++i)
        if (m_days[i] == child)
            return static_cast<int>(i);
    return -1;
}

QAccessibleInterface* CalendarDaysAccessible::childAt(int x, int y) const
{
    for (int i = 0; i < kDays; ++i)
        if (child(i)->rect().contains(x, y))
            return child(i);
    return nullptr;
}

QAccessibleInterface* CalendarDaysAccessible::focusChild() const
{
    if (!widget()->hasFocus())
        return nullptr;
    const QDate first = m_calendar->firstShownDay();
    const qint64 cell = first.daysTo(m_calendar->selectedDate());
    return cell >= 0 && cell < kDays ? child(static_cast<int>(cell)) : nullptr;
}

void installCalendarAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory([](const QString& key, QObject* object) -> QAccessibleInterface* {
            auto* table = qobject_cast<QWidget*>(object);
            if (!table || key != QLatin1String("QTableView") || table->objectName() != QLatin1String("qt_calendar_calendarview"))
                return nullptr;
            for (QObject* up = table->parent(); up; up = up->parent())
                if (auto* calendar = qobject_cast<QtMonthCalendar*>(up))
                    return new CalendarDaysAccessible(table, calendar);
            return nullptr;
        });
        return true;
    }();
    (void)installed;
}

} // namespace pagelet
