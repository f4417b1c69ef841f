#include "qt/QtMonthCalendar.h"

#include "qt/QtGraphics.h"

#include <QTableView>
#include <QTextCharFormat>
#include <QToolButton>

namespace pagelet {

namespace {
// 71 x 78 dialog units in a window of 137 x 153 units shown as 240 x 270 pixels.
constexpr int kWidth = 71 * 240 / 137 + 60;
constexpr int kHeight = 78 * 270 / 153 + 20;
} // namespace

LocalDate toLocalDate(const QDate& date)
{
    return {date.year(), date.month(), date.day()};
}

QDate toQDate(const LocalDate& date)
{
    return QDate(date.year, date.month, date.day);
}

QtMonthCalendar::QtMonthCalendar(QWidget* parent) : QCalendarWidget(parent)
{
    setLocale(QLocale(QLocale::Korean, QLocale::SouthKorea)); // names of months and days as the rest of the window
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    setGridVisible(false);
    setFirstDayOfWeek(Qt::Sunday);
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);
    // The pop-up is worked with the pen; taking the keyboard focus would make the day table
    // put its cursor on a day of its own choosing instead of the shown day.
    for (QWidget* child : findChildren<QWidget*>())
        child->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::NoFocus);
    {
        // The day table keeps the cell it selected before the week started on Sunday;
        // selecting afresh puts the highlight on the selected day again.
        const QSignalBlocker block(this);
        const QDate today = selectedDate();
        setSelectedDate(today.addDays(1));
        setSelectedDate(today);
    }
    QCalendarWidget::hide();

    connect(this, &QCalendarWidget::clicked, this, [this](QDate date) {
        if (dayPicked)
            dayPicked(toLocalDate(date));
    });
    connect(this, &QCalendarWidget::selectionChanged, this, [this] {
        if (selectionMoved)
            selectionMoved(toLocalDate(selectedDate()));
    });
    connect(this, &QCalendarWidget::currentPageChanged, this, &QtMonthCalendar::onPageChanged);
}

void QtMonthCalendar::onPageChanged(int year, int month)
{
    // The user moved to another month: the selection follows into it, which reports a
    // selection change, and the new month's day states are asked for. Unasked, the marks of
    // the month left go with it.
    if (!dayStatesRequested)
        setDayStates({});
    const QDate sel = selectedDate();
    const QDate first(year, month, 1);
    if (sel.year() != year || sel.month() != month)
        setSelectedDate(QDate(year, month, std::min(sel.day(), first.daysInMonth())));
    if (dayStatesRequested)
        dayStatesRequested();
}

DayValue QtMonthCalendar::today()
{
    return fromLocal(toLocalDate(QDate::currentDate()));
}

void QtMonthCalendar::setSelection(DayValue day)
{
    const QDate date = toQDate(localDate(day));
    const bool monthChanges = date.year() != yearShown() || date.month() != monthShown();
    {
        const QSignalBlocker block(this);
        setSelectedDate(date);
        setCurrentPage(date.year(), date.month());
    }
    if (monthChanges && dayStatesRequested)
        dayStatesRequested();
}

QDate QtMonthCalendar::firstShownDay() const
{
    const QDate first(yearShown(), monthShown(), 1);
    int offset = (first.dayOfWeek() - static_cast<int>(firstDayOfWeek()) + 7) % 7;
    if (offset == 0)
        offset = 7;
    return first.addDays(-offset);
}

DisplayedRange QtMonthCalendar::displayedRange()
{
    const QDate first = firstShownDay();
    const QDate last = first.addDays(41);
    DisplayedRange range;
    range.first = toLocalDate(first);
    range.last = toLocalDate(last);
    range.months = (last.year() - first.year()) * 12 + last.month() - first.month() + 1;
    return range;
}

void QtMonthCalendar::setDayStates(const std::vector<std::uint32_t>& masks)
{
    QTextCharFormat plain;
    for (const QDate& d : m_boldDays)
        setDateTextFormat(d, plain);
    m_boldDays.clear();
    const QDate first = firstShownDay();
    QDate month(first.year(), first.month(), 1);
    for (std::uint32_t mask : masks) {
        for (int i = 0; i < 31 && i < month.daysInMonth(); ++i) {
            if (mask & (1u << i)) {
                const QDate d = month.addDays(i);
                QTextCharFormat bold;
                bold.setFontWeight(QFont::Bold);
                setDateTextFormat(d, bold);
                m_boldDays.push_back(d);
            }
        }
        month = month.addMonths(1);
    }
}

void QtMonthCalendar::setColor(int slot, Color color)
{
    if (slot < 0 || slot > 5)
        return;
    m_colors[slot] = color;
    m_colorSet[slot] = true;
    applyColors();
}

void QtMonthCalendar::applyColors()
{
    QPalette pal = palette();
    if (m_colorSet[Background])
        pal.setColor(QPalette::Window, toQColor(m_colors[Background]));
    if (m_colorSet[MonthBack]) {
        pal.setColor(QPalette::Base, toQColor(m_colors[MonthBack]));
        pal.setColor(QPalette::AlternateBase, toQColor(m_colors[MonthBack]));
    }
    if (m_colorSet[Text]) {
        pal.setColor(QPalette::Text, toQColor(m_colors[Text]));
        QTextCharFormat f;
        f.setForeground(toQColor(m_colors[Text]));
        for (int d = Qt::Monday; d <= Qt::Sunday; ++d)
            setWeekdayTextFormat(static_cast<Qt::DayOfWeek>(d), f);
    }
    if (m_colorSet[TrailingText]) {
        pal.setColor(QPalette::Disabled, QPalette::Text, toQColor(m_colors[TrailingText]));
        QTextCharFormat header;
        header.setForeground(toQColor(m_colors[TrailingText]));
        if (m_colorSet[MonthBack])
            header.setBackground(toQColor(m_colors[MonthBack]));
        setHeaderTextFormat(header);
    }
    setPalette(pal);
    if (QWidget* bar = findChild<QWidget*>("qt_calendar_navigationbar")) {
        QString style;
        if (m_colorSet[TitleBack])
            style += QString("QWidget#qt_calendar_navigationbar { background-color: %1; }").arg(toQColor(m_colors[TitleBack]).name());
        if (m_colorSet[TitleText])
            style += QString(" QToolButton { color: %1; background: transparent; border: none; }").arg(toQColor(m_colors[TitleText]).name());
        bar->setStyleSheet(style);
    }
}

Size QtMonthCalendar::size()
{
    return {width(), height()};
}

void QtMonthCalendar::show()
{
    QCalendarWidget::show();
    raise();
}

void QtMonthCalendar::hide()
{
    QCalendarWidget::hide();
}

void QtMonthCalendar::move(const Rect& rect)
{
    QCalendarWidget::move(rect.left, rect.top);
}

} // namespace pagelet
