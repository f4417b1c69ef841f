#include "Rig.h"
#include "platform/Commands.h"
#include "base/FileIo.h"
#include "diary/DiaryRange.h"
#include "qt/dialogs/QtMonthCalendar.h"
#include "qt/graphics/Zoom.h"
#include "store/DayKey.h"
#include "store/PlainPageStore.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QTextCharFormat>
#include <gtest/gtest.h>

using namespace pagelet;

namespace {

// The cell of the day table showing date.
QModelIndex cellOf(QtMonthCalendar& cal, const QDate& date)
{
    const int offset = static_cast<int>(cal.firstShownDay().daysTo(date));
    return cal.findChild<QAbstractItemView*>()->model()->index(1 + offset / 7, offset % 7);
}

// A real tap on the day's cell.
void click(QtMonthCalendar& cal, const QDate& date)
{
    auto* view = cal.findChild<QAbstractItemView*>();
    const QModelIndex cell = cellOf(cal, date);
    ASSERT_EQ(view->model()->data(cell).toInt(), date.day());
    const QPoint at = view->visualRect(cell).center();
    const QPoint global = view->viewport()->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &press);
    QApplication::sendEvent(view->viewport(), &release);
}

} // namespace

TEST(MonthCalendar, SixWeeksAreShownAndTheHighlightIsOnTheSelectedDay)
{
    const Zoom zoom;
    QtMonthCalendar cal(nullptr, zoom);
    auto highlighted = [&cal] {
        const QModelIndexList selected = cal.findChild<QAbstractItemView*>()->selectionModel()->selectedIndexes();
        return selected.size() == 1 && selected[0] == cellOf(cal, cal.selectedDate());
    };
    EXPECT_TRUE(highlighted()) << "from the start";
    EXPECT_EQ(cal.minimumDate(), QDate(1000, 1, 1)); // four-digit years: eight-digit keys
    EXPECT_EQ(cal.maximumDate(), QDate(9999, 12, 31));
    struct Case {
        LocalDate shown, first, last;
    };
    const Case cases[] = {
        {{2026, 12, 7}, {2026, 11, 29}, {2027, 1, 9}},
        {{2026, 2, 10}, {2026, 1, 25}, {2026, 3, 7}}, // starts on Sunday: a whole week before
    };
    for (const auto& c : cases) {
        cal.setSelection(fromLocal(c.shown));
        const DisplayedRange r = cal.displayedRange();
        EXPECT_EQ(r.first, c.first);
        EXPECT_EQ(r.last, c.last);
        EXPECT_EQ(r.months, 3);
        EXPECT_TRUE(highlighted());
    }
}

TEST(MonthCalendar, OnlyTheUsersMovesReportASelectionChange)
{
    const Zoom zoom;
    QtMonthCalendar cal(nullptr, zoom);
    std::vector<LocalDate> moved;
    int requests = 0;
    cal.selectionMoved = [&](const LocalDate& d) { moved.push_back(d); };
    cal.dayStatesRequested = [&] { ++requests; };
    cal.setSelection(fromLocal({2027, 1, 20}));
    requests = 0;
    cal.setSelection(fromLocal({2027, 1, 31})); // same month: no new day states
    EXPECT_EQ(requests, 0);
    cal.showNextMonth(); // what the title's arrow does: the selection follows, clamped
    EXPECT_EQ(moved, (std::vector<LocalDate> {{2027, 2, 28}}));
    EXPECT_EQ(requests, 1);
    cal.setSelection(fromLocal({2027, 4, 1}));
    EXPECT_EQ(moved.size(), 1u);
    EXPECT_EQ(requests, 2);
    EXPECT_EQ(cal.selectedDate(), QDate(2027, 4, 1));
}

TEST(MonthCalendar, ColourSlotsReachTheDrawnCalendar)
{
    const Zoom zoom;
    QtMonthCalendar cal(nullptr, zoom);
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
}

TEST(DiaryCalendar, MarksTheShownMonthsPagesAndATapOnAnotherMonthsDayShowsIt)
{
    qttest::TempInstall temp;
    temp.install(Settings {});
    auto putPage = [&](const LocalDate& date, const std::u16string& text) {
        ASSERT_TRUE(writeFileAtomic(fromQString(temp.root + "/diary/") + makeDateKey(date) + u".dry", encodePage({0, text})));
    };
    for (const LocalDate d : {LocalDate {2026, 11, 30}, {2026, 12, 1}, {2026, 12, 31}, {2027, 1, 1}})
        putPage(d, u"p");
    putPage({2027, 1, 2}, u"새해 둘째 날");
    PageletWindow window(temp.overrides);
    ASSERT_TRUE(window.start());
    window.show();
    MainDialog& d = window.dialog();
    QtMonthCalendar& calendar = window.calendar();
    auto bold = [&](const QDate& day) { return calendar.dateTextFormat(day).fontWeight() == QFont::Bold; };
    d.navigation().startOn(fromLocal({2026, 12, 7}));
    calendar.setSelection(d.day().selectedDay());
    d.day().showEmptyPage();
    d.editor().setText(u"십이월 칠일");
    d.editor().saved = false;
    d.skin().calendarArea = {10, 30, 10 + calendar.width(), 30 + calendar.height()};
    d.onCommand(CMD_CALENDAR, 0, 0);
    ASSERT_TRUE(calendar.isVisible());
    EXPECT_EQ(calendar.pos(), QPoint(10, 30));
    // Only the main month's pages are bold.
    for (const auto& [day, isBold] : std::vector<std::pair<QDate, bool>> {{{2026, 11, 30}, false}, {{2026, 12, 1}, true},
                                                                          {{2026, 12, 2}, false},  {{2026, 12, 31}, true},
                                                                          {{2027, 1, 1}, false}})
        EXPECT_EQ(bold(day), isBold) << day.toString().toStdString();

    click(calendar, QDate(2027, 1, 2)); // a trailing day of the December grid
    EXPECT_EQ(localDate(d.day().selectedDay()), (LocalDate {2027, 1, 2}));
    EXPECT_EQ(d.editor().text, u"새해 둘째 날");
    EXPECT_FALSE(d.editor().editable);
    EXPECT_FALSE(calendar.isVisible());
    EXPECT_TRUE(QFile::exists(temp.root + "/diary/20261207.dry"));

    // Open again: January's pages are bold now, December's are not.
    d.onCommand(CMD_CALENDAR, 0, 0);
    EXPECT_EQ(calendar.monthShown(), 1);
    EXPECT_TRUE(bold(QDate(2027, 1, 1)));
    EXPECT_TRUE(bold(QDate(2027, 1, 2)));
    EXPECT_FALSE(bold(QDate(2026, 12, 31)));
}

// The calendar is built when first shown: what the start and the day changes told it before
// (the selection, the day marks, the place, the skin's colours) must all be there.
TEST(DiaryCalendar, ShownForTheFirstTimeItHoldsWhatItWasToldBefore)
{
    qttest::TempInstall temp;
    temp.install(Settings {});
    ASSERT_TRUE(writeFileAtomic(fromQString(temp.root + "/diary/") + makeDateKey(LocalDate {2026, 3, 9}) + u".dry",
                                encodePage({0, u"p"})));
    PageletWindow window(temp.overrides);
    ASSERT_TRUE(window.start());
    window.show();
    MainDialog& d = window.dialog();
    d.navigation().startOn(fromLocal({2026, 3, 3}));
    d.onCommand(CMD_NEXT_DAY, 0, 0); // the calendar follows the change of day
    d.skin().calendarArea = {10, 30, 150, 150};
    d.onCommand(CMD_CALENDAR, 0, 0);
    QtMonthCalendar& calendar = window.calendar();
    ASSERT_TRUE(calendar.isVisible());
    EXPECT_EQ(calendar.selectedDate(), QDate(2026, 3, 4));
    EXPECT_EQ(calendar.monthShown(), 3);
    EXPECT_EQ(calendar.pos(), QPoint(10, 30));
    EXPECT_EQ(calendar.dateTextFormat(QDate(2026, 3, 9)).fontWeight(), QFont::Bold);
    EXPECT_NE(calendar.dateTextFormat(QDate(2026, 3, 10)).fontWeight(), QFont::Bold);
}
