#include "qt/dialogs/CalendarDaysAccessible.h"

#include "qt/dialogs/CalendarDayAccessible.h"
#include "qt/dialogs/QtMonthCalendar.h"

#include <QCoreApplication>
#include <QLocale>

namespace pagelet {

CalendarDaysAccessible::CalendarDaysAccessible(QWidget* table, QCalendarWidget* calendar)
    : QAccessibleWidget(table, QAccessible::Table), m_calendar(calendar)
{
}

CalendarDaysAccessible::~CalendarDaysAccessible()
{
    for (QAccessible::Id id : m_ids)
        QAccessible::deleteAccessibleInterface(id);
}

QString CalendarDaysAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name || !m_calendar)
        return QAccessibleWidget::text(t);
    const QDate month(m_calendar->yearShown(), m_calendar->monthShown(), 1);
    return QLocale().toString(month, QCoreApplication::translate("CalendarDaysAccessible", "yyyy년 M월"));
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
    if (!widget()->hasFocus() || !m_calendar)
        return nullptr;
    const QDate first = QtMonthCalendar::gridStart(m_calendar->yearShown(), m_calendar->monthShown());
    const qint64 cell = first.daysTo(m_calendar->selectedDate());
    return cell >= 0 && cell < kDays ? child(static_cast<int>(cell)) : nullptr;
}

void installCalendarAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory([](const QString& key, QObject* object) -> QAccessibleInterface* {
            // Asked for as the calendar's base makes the table: neither its name nor the
            // calendar's own class is set yet.
            auto* table = qobject_cast<QWidget*>(object);
            auto* calendar = table ? qobject_cast<QCalendarWidget*>(table->parentWidget()) : nullptr;
            if (!calendar || key != QLatin1String("QTableView"))
                return nullptr;
            return new CalendarDaysAccessible(table, calendar);
        });
        return true;
    }();
    (void)installed;
}

} // namespace pagelet
