#include "qt/dialogs/CalendarDayAccessible.h"

#include "qt/dialogs/DayWords.h"
#include "qt/dialogs/QtMonthCalendar.h"

#include <QTableView>

namespace pagelet {

CalendarDayAccessible::CalendarDayAccessible(QCalendarWidget* calendar, int cell) : m_calendar(calendar), m_cell(cell)
{
}

QtMonthCalendar* CalendarDayAccessible::ours() const
{
    return qobject_cast<QtMonthCalendar*>(m_calendar.data());
}

QDate CalendarDayAccessible::date() const
{
    return ours() ? ours()->firstShownDay().addDays(m_cell) : QDate();
}

bool CalendarDayAccessible::isValid() const
{
    return ours() && ours()->dayTable();
}

QWindow* CalendarDayAccessible::window() const
{
    return m_calendar ? m_calendar->window()->windowHandle() : nullptr;
}

QAccessibleInterface* CalendarDayAccessible::parent() const
{
    return isValid() ? QAccessible::queryAccessibleInterface(ours()->dayTable()) : nullptr;
}

QString CalendarDayAccessible::text(QAccessible::Text t) const
{
    if (!isValid() || t != QAccessible::Name)
        return {};
    const QDate d = date();
    QString name = dayInWords(toLocalDate(d));
    if (ours()->isMarked(d))
        name += QStringLiteral(", ") + ours()->markWords();
    return name;
}

QRect CalendarDayAccessible::rect() const
{
    auto* table = isValid() ? qobject_cast<QTableView*>(ours()->dayTable()) : nullptr;
    if (!table || !table->model())
        return {};
    // The first row of the table is the days' names.
    const QModelIndex index = table->model()->index(m_cell / 7 + 1, m_cell % 7);
    const QRect local = table->visualRect(index);
    return QRect(table->viewport()->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State CalendarDayAccessible::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    const QDate d = date();
    s.invisible = !m_calendar->isVisible();
    s.selectable = true;
    s.selected = d == m_calendar->selectedDate();
    s.focused = s.selected && ours()->dayTable()->hasFocus();
    s.disabled = d < m_calendar->minimumDate() || d > m_calendar->maximumDate();
    return s;
}

void* CalendarDayAccessible::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

QStringList CalendarDayAccessible::actionNames() const
{
    return {pressAction()};
}

void CalendarDayAccessible::doAction(const QString& actionName)
{
    // Posted: a press that opens a modal dialog must not hold the screen reader's call.
    if (actionName == pressAction() && isValid() && !state().disabled)
        QMetaObject::invokeMethod(ours(), [calendar = ours(), day = date()] { calendar->pickDay(day); }, Qt::QueuedConnection);
}

} // namespace pagelet
