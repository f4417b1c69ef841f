#include "app/Commands.h"
#include "app/MainDialog.h"
#include "base/Text.h"
#include "diary/DateKey.h"
#include "diary/PageFile.h"
#include "fakes/Fakes.h"
#include "qt/QtGraphics.h"
#include "qt/QtMonthCalendar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTextCharFormat>
#include <fstream>
#include <gtest/gtest.h>

using namespace pagelet;

namespace {

// The main window's page logic over the real calendar widget; the rest are fakes.
struct CalendarRig {
    CalendarRig()
        : calendar(new QtMonthCalendar(&host)),
          dialog(MainDialogPorts {p.window, p.messages, p.registry, p.exit, *calendar, p.edit, p.graphics, p.clock,
                                  p.dialogs, p.softInput})
    {
        host.resize(240, 270);
        dialog.settings.dataPath = fromQString(QDir(dir.path()).absolutePath()) + u"/";
        dialog.skin.AddSkinElement({0, 0, 20, 20}, nullptr, 0, CMD_DELETE);
        dialog.skin.calendarArea = {10, 30, 10 + calendar->width(), 30 + calendar->height()};
        dialog.editor.create({3, 40, 237, 268});
        calendar->dayPicked = [this](const LocalDate& d) { dialog.onDayPicked(d); };
        calendar->selectionMoved = [this](const LocalDate& d) { dialog.onSelectionChanged(d); };
        calendar->dayStatesRequested = [this] { dialog.onDayStatesRequested(); };
        host.show();
    }

    void startOn(const LocalDate& date)
    {
        dialog.selectedDay = fromLocal(date);
        dialog.previousDay = dialog.selectedDay;
        calendar->setSelection(dialog.selectedDay);
        if (!dialog.loadPage(dialog.selectedDay))
            dialog.showEmptyPage();
    }

    void putPage(const LocalDate& date, const std::u16string& text)
    {
        const Bytes bytes = encodePage({0, text});
        std::ofstream(toUtf8(dialog.settings.dataPath + makeDateKey(date) + u".dry"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    bool bold(const QDate& d) const { return calendar->dateTextFormat(d).fontWeight() == QFont::Bold; }

    void click(const QDate& date)
    {
        auto* view = calendar->findChild<QAbstractItemView*>();
        ASSERT_NE(view, nullptr);
        const int offset = static_cast<int>(calendar->firstShownDay().daysTo(date));
        const QModelIndex cell = view->model()->index(1 + offset / 7, offset % 7);
        ASSERT_EQ(view->model()->data(cell).toInt(), date.day());
        const QPoint at = view->visualRect(cell).center();
        const QPoint global = view->viewport()->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &press);
        QApplication::sendEvent(view->viewport(), &release);
    }

    QTemporaryDir dir;
    QWidget host;
    QtMonthCalendar* calendar;
    fakes::FakePlatform p;
    MainDialog dialog;
};

} // namespace

TEST(DiaryCalendar, MarksTheShownMonthsPagesAndATapOnAnotherMonthsDayShowsIt)
{
    CalendarRig rig;
    for (const LocalDate d : {LocalDate {2026, 11, 30}, {2026, 12, 1}, {2026, 12, 31}, {2027, 1, 1}})
        rig.putPage(d, u"p");
    rig.putPage({2027, 1, 2}, u"새해 둘째 날");
    rig.startOn({2026, 12, 7});
    rig.dialog.editor.setText(u"십이월 칠일");
    rig.dialog.editor.saved = false;
    rig.dialog.onCommand(CMD_CALENDAR, 0, 0);
    ASSERT_TRUE(rig.calendar->isVisible());
    EXPECT_EQ(rig.calendar->pos(), QPoint(10, 30));
    const std::vector<std::pair<QDate, bool>> december = {
        {QDate(2026, 11, 30), false}, {QDate(2026, 12, 1), true}, {QDate(2026, 12, 2), false},
        {QDate(2026, 12, 31), true},  {QDate(2027, 1, 1), false}, {QDate(2027, 1, 2), false},
    };
    for (const auto& [day, bold] : december)
        EXPECT_EQ(rig.bold(day), bold) << day.toString().toStdString();

    rig.click(QDate(2027, 1, 2)); // a trailing day of the December grid
    EXPECT_EQ(localDate(rig.dialog.selectedDay), (LocalDate {2027, 1, 2}));
    EXPECT_EQ(rig.dialog.editor.text, u"새해 둘째 날");
    EXPECT_FALSE(rig.dialog.editor.editable);
    EXPECT_FALSE(rig.calendar->isVisible());
    EXPECT_FALSE(rig.dialog.calendarVisible);
    EXPECT_EQ(localDate(rig.dialog.previousDay), (LocalDate {2026, 12, 7}));
    EXPECT_TRUE(QFile::exists(QDir(rig.dir.path()).filePath("20261207.dry")));

    // Open again: January's pages are bold now, the days around it are not.
    rig.dialog.onCommand(CMD_CALENDAR, 0, 0);
    EXPECT_EQ(rig.calendar->monthShown(), 1);
    EXPECT_TRUE(rig.bold(QDate(2027, 1, 1)));
    EXPECT_TRUE(rig.bold(QDate(2027, 1, 2)));
    EXPECT_FALSE(rig.bold(QDate(2026, 12, 31)));
    EXPECT_FALSE(rig.bold(QDate(2026, 12, 7)));
}
