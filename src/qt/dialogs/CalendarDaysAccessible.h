#pragma once
#include <QAccessibleWidget>
#include <QCalendarWidget>
#include <QPointer>
#include <vector>

namespace pagelet {

class CalendarDayAccessible;

// A month calendar's table of days as a screen reader sees it: its 42 days, each with its
// date and whether it is marked. Qt's own table reads only the day numbers.
class CalendarDaysAccessible : public QAccessibleWidget {
public:
    CalendarDaysAccessible(QWidget* table, QCalendarWidget* calendar);
    ~CalendarDaysAccessible() override;

    // The month shown: "2026년 12월".
    QString text(QAccessible::Text t) const override;
    int childCount() const override { return kDays; }
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    static constexpr int kDays = 42;

private:
    QPointer<QCalendarWidget> m_calendar;
    mutable std::vector<CalendarDayAccessible*> m_days;
    mutable std::vector<QAccessible::Id> m_ids;
};

// Makes Qt ask for CalendarDaysAccessible for every month calendar's day table; once is enough.
void installCalendarAccessibility();

} // namespace pagelet
