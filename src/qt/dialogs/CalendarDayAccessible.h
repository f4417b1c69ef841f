#pragma once
#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QCalendarWidget>
#include <QDate>
#include <QPointer>

namespace pagelet {

class QtMonthCalendar;

// One day of a month calendar's grid, by its place in the six weeks shown: a screen reader
// reads its date and mark and presses it as a click on it.
class CalendarDayAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    CalendarDayAccessible(QCalendarWidget* calendar, int cell);

    // The date the cell shows now.
    QDate date() const;

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    // Ours, once it is made (not yet while its base makes the table).
    QtMonthCalendar* ours() const;

    QPointer<QCalendarWidget> m_calendar;
    int m_cell;
};

} // namespace pagelet
