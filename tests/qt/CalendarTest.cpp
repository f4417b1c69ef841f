#include "qt/QtMonthCalendar.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QApplication>
#include <QTextCharFormat>
#include <gtest/gtest.h>

using namespace pagelet;

namespace {

struct Recorder {
    explicit Recorder(QtMonthCalendar& cal)
    {
        cal.dayPicked = [this](const LocalDate& d) { picked.push_back(d); };
        cal.selectionMoved = [this](const LocalDate& d) { moved.push_back(d); };
        cal.dayStatesRequested = [this] { ++requests; };
    }
    std::vector<LocalDate> picked;
    std::vector<LocalDate> moved;
    int requests = 0;
};

bool isBold(QtMonthCalendar& cal, const QDate& d)
{
    return cal.dateTextFormat(d).fontWeight() == QFont::Bold;
}

// The cell of the calendar's day table showing date, for a real click.
QModelIndex cellOf(QAbstractItemView* view, const QDate& date, const QDate& firstShown)
{
    const int offset = static_cast<int>(firstShown.daysTo(date));
    return view->model()->index(1 + offset / 7, offset % 7);
}

} // namespace

TEST(MonthCalendar, DisplayedRangeCoversSixWeeksAndCountsPartlyShownMonths)
{
    struct Case {
        LocalDate shown;
        LocalDate first, last;
        int months;
    };
    const std::vector<Case> cases = {
        {{2026, 12, 7}, {2026, 11, 29}, {2027, 1, 9}, 3},
        {{2026, 2, 10}, {2026, 1, 25}, {2026, 3, 7}, 3}, // starts on Sunday: a whole week before
        {{2027, 1, 1}, {2026, 12, 27}, {2027, 2, 6}, 3},
    };
    for (const auto& c : cases) {
        QtMonthCalendar cal(nullptr);
        cal.setSelection(fromLocal(c.shown));
        const DisplayedRange r = cal.displayedRange();
        EXPECT_EQ(r.first, c.first);
        EXPECT_EQ(r.last, c.last);
        EXPECT_EQ(r.months, c.months);
    }
}

TEST(MonthCalendar, HighlightStartsOnTheSelectedDay)
{
    QtMonthCalendar cal(nullptr);
    auto* view = cal.findChild<QAbstractItemView*>();
    ASSERT_NE(view, nullptr);
    const QModelIndexList selected = view->selectionModel()->selectedIndexes();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0], cellOf(view, cal.selectedDate(), cal.firstShownDay()));
}

TEST(MonthCalendar, ProgrammaticSelectionSendsNoSelectionChangeButAsksForDayStatesOnANewMonth)
{
    QtMonthCalendar cal(nullptr);
    Recorder rec(cal);
    cal.setSelection(fromLocal({2026, 12, 7}));
    const int afterFirst = rec.requests;
    cal.setSelection(fromLocal({2026, 12, 20})); // same month
    EXPECT_EQ(rec.requests, afterFirst);
    cal.setSelection(fromLocal({2027, 1, 1}));
    EXPECT_EQ(rec.requests, afterFirst + 1);
    EXPECT_TRUE(rec.moved.empty());
    EXPECT_EQ(cal.selectedDate(), QDate(2027, 1, 1));
    EXPECT_EQ(cal.monthShown(), 1);
}

TEST(MonthCalendar, UserMovingToAnotherMonthTakesTheSelectionAlongClamped)
{
    QtMonthCalendar cal(nullptr);
    cal.setSelection(fromLocal({2027, 1, 31}));
    Recorder rec(cal);
    cal.showNextMonth(); // what the title's arrow does
    EXPECT_EQ(cal.selectedDate(), QDate(2027, 2, 28));
    ASSERT_FALSE(rec.moved.empty());
    EXPECT_EQ(rec.moved.back(), (LocalDate {2027, 2, 28}));
    EXPECT_GE(rec.requests, 1);
}

TEST(MonthCalendar, DayStatesBoldExactlyTheMaskedDaysOfEachMonth)
{
    QtMonthCalendar cal(nullptr);
    cal.setSelection(fromLocal({2026, 12, 7}));
    // Range 29 Nov .. 9 Jan: masks for November, December, January.
    cal.setDayStates({1u << 29, (1u << 0) | (1u << 24) | (1u << 30), 0});
    EXPECT_TRUE(isBold(cal, QDate(2026, 11, 30)));
    EXPECT_TRUE(isBold(cal, QDate(2026, 12, 1)));
    EXPECT_TRUE(isBold(cal, QDate(2026, 12, 25)));
    EXPECT_TRUE(isBold(cal, QDate(2026, 12, 31)));
    EXPECT_FALSE(isBold(cal, QDate(2026, 12, 2)));
    EXPECT_FALSE(isBold(cal, QDate(2027, 1, 1)));
    // New states replace the old ones.
    cal.setDayStates({0, 1u << 4, 0});
    EXPECT_FALSE(isBold(cal, QDate(2026, 12, 1)));
    EXPECT_FALSE(isBold(cal, QDate(2026, 11, 30)));
    EXPECT_TRUE(isBold(cal, QDate(2026, 12, 5)));
}

TEST(MonthCalendar, TappingADayReportsItAsPicked)
{
    QWidget host;
    host.resize(240, 270);
    auto* cal = new QtMonthCalendar(&host);
    cal->setSelection(fromLocal({2026, 12, 7}));
    cal->show();
    host.show();
    Recorder rec(*cal);
    auto* view = cal->findChild<QAbstractItemView*>();
    ASSERT_NE(view, nullptr);
    const QDate target(2026, 12, 16);
    const QModelIndex cell = cellOf(view, target, toQDate(cal->displayedRange().first));
    ASSERT_EQ(view->model()->data(cell).toInt(), 16);
    const QPoint at = view->visualRect(cell).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, view->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &press);
    QApplication::sendEvent(view->viewport(), &release);
    ASSERT_EQ(rec.picked.size(), 1u);
    EXPECT_EQ(rec.picked[0], (LocalDate {2026, 12, 16}));
    EXPECT_EQ(cal->selectedDate(), target);
}

TEST(MonthCalendar, ColourSlotsReachTheDrawnCalendar)
{
    QtMonthCalendar cal(nullptr);
    cal.setSelection(fromLocal({2026, 12, 7}));
    cal.setColor(MonthCalendar::TitleBack, rgb(0, 64, 128));
    cal.setColor(MonthCalendar::MonthBack, rgb(255, 255, 240));
    cal.setColor(MonthCalendar::Background, rgb(10, 200, 10));
    cal.move({0, 0, 0, 0});
    cal.show();
    const QImage shot = cal.grab().toImage();
    // The title band is at the top; the days fill the lower part.
    EXPECT_EQ(QColor(shot.pixel(shot.width() / 2 + 30, 3)), QColor(0, 64, 128));
    EXPECT_EQ(QColor(shot.pixel(3, shot.height() - 3)), QColor(255, 255, 240));
    EXPECT_EQ(cal.size(), (Size {cal.width(), cal.height()}));
}
