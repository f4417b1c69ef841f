#include "qt/dialogs/QtMonthCalendar.h"

#include "diary/DiaryRange.h"
#include "qt/dialogs/CalendarDaysAccessible.h"
#include "qt/graphics/QtGraphics.h"
#include "qt/graphics/Zoom.h"

#include <QApplication>
#include <algorithm>
#include <QKeyEvent>

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

// Before the base makes the day table: with a screen reader on, its interface is made then.
QtMonthCalendar::QtMonthCalendar(QWidget* parent, const Zoom& zoom)
    : QCalendarWidget((installCalendarAccessibility(), parent)), m_zoom(zoom), m_markWords(tr("일기 있음"))
{
    // Names of months and days in the program's language (the default locale follows it).
    setLocale(QLocale());
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    setGridVisible(false);
    setFirstDayOfWeek(Qt::Sunday);
    setFixedSize(kWidth, kHeight);
    // Outside four-digit years a day would have no eight-digit key.
    setDateRange(toQDate(kFirstDiaryDate), toQDate(kLastDiaryDate));
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
    // Return in the day table, which has the keys only when opened from the keyboard.
    connect(this, &QCalendarWidget::activated, this, [this](QDate date) {
        if (dayPicked && dayTable() && dayTable()->hasFocus())
            dayPicked(toLocalDate(date));
    });
    if (QWidget* table = dayTable())
        table->installEventFilter(this);
    setAccessibleName(tr("달력"));
    if (auto* year = findChild<QWidget*>(QStringLiteral("qt_calendar_yearedit")))
        year->setAccessibleName(tr("연도"));
    // The month arrows are pictures only.
    if (auto* prev = findChild<QToolButton*>(QStringLiteral("qt_calendar_prevmonth")))
        prev->setAccessibleName(tr("이전 달"));
    if (auto* next = findChild<QToolButton*>(QStringLiteral("qt_calendar_nextmonth")))
        next->setAccessibleName(tr("다음 달"));
    m_monthButton = findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    if (m_monthButton)
        m_monthButton->installEventFilter(this);
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

bool QtMonthCalendar::isMarked(const QDate& date) const
{
    return std::find(m_boldDays.begin(), m_boldDays.end(), date) != m_boldDays.end();
}

void QtMonthCalendar::pickDay(const QDate& date)
{
    // What the day table does on a click: the selection moves (and the month with it), then
    // the day is reported clicked.
    setSelectedDate(date);
    emit clicked(date);
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

namespace {
// The grid always shows six rows from the Sunday before the 1st (a whole week when the 1st
// is a Sunday).
QDate firstOfGrid(int year, int month)
{
    const QDate first(year, month, 1);
    int offset = (first.dayOfWeek() - static_cast<int>(Qt::Sunday) + 7) % 7;
    if (offset == 0)
        offset = 7;
    return first.addDays(-offset);
}
} // namespace

const Size QtMonthCalendar::kSize {kWidth, kHeight};

QDate QtMonthCalendar::gridStart(int year, int month)
{
    return firstOfGrid(year, month);
}

QDate QtMonthCalendar::firstShownDay() const
{
    return firstOfGrid(yearShown(), monthShown());
}

DisplayedRange QtMonthCalendar::rangeShowing(int year, int month)
{
    const QDate first = firstOfGrid(year, month);
    const QDate last = first.addDays(41);
    DisplayedRange range;
    range.first = toLocalDate(first);
    range.last = toLocalDate(last);
    range.months = (last.year() - first.year()) * 12 + last.month() - first.month() + 1;
    return range;
}

DisplayedRange QtMonthCalendar::displayedRange()
{
    return rangeShowing(yearShown(), monthShown());
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
    return {m_zoom.unscaled(width()), m_zoom.unscaled(height())};
}

void QtMonthCalendar::show()
{
    QCalendarWidget::show();
    raise();
}

void QtMonthCalendar::hide()
{
    QWidget* table = dayTable();
    const bool hadKeys = table && table->hasFocus();
    if (table)
        table->setFocusPolicy(Qt::NoFocus);
    QCalendarWidget::hide();
    if (hadKeys && parentWidget())
        parentWidget()->setFocus(Qt::OtherFocusReason);
}

void QtMonthCalendar::move(const Rect& rect)
{
    m_at = rect;
    QCalendarWidget::move(m_zoom.scaled(rect.left), m_zoom.scaled(rect.top));
}

QWidget* QtMonthCalendar::dayTable() const
{
    return findChild<QWidget*>(QStringLiteral("qt_calendar_calendarview"));
}

void QtMonthCalendar::takeKeyboard()
{
    if (QWidget* table = dayTable()) {
        table->setFocusPolicy(Qt::StrongFocus);
        table->setFocus(Qt::OtherFocusReason);
    }
}

void QtMonthCalendar::applyZoom()
{
    setFixedSize(m_zoom.scaled(kWidth), m_zoom.scaled(kHeight));
    setFont(m_zoom.scaled(QApplication::font()));
    move(m_at);
}

bool QtMonthCalendar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_monthButton && event->type() == QEvent::Paint) {
        // The calendar names the month in full, which a narrow calendar cuts in English; the
        // short name is the same in Korean. Qt sets the full name again at every month change.
        const QString name = locale().standaloneMonthName(monthShown(), QLocale::ShortFormat);
        if (m_monthButton->text() != name)
            m_monthButton->setText(name);
        return false;
    }
    // Escape closes the window's pop-up; in a dialog it is the dialog's.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && keyboardClosed) {
        if (keyboardClosed)
            keyboardClosed();
        return true;
    }
    return QCalendarWidget::eventFilter(watched, event);
}

} // namespace pagelet
