#include "Rig.h"
#include "base/FileIo.h"
#include "store/DayKey.h"
#include "store/PageFormat.h"
#include "qt/window/WindowMenu.h"

#include <QFile>
#include <QMenu>
#include <gtest/gtest.h>

namespace pagelet {
namespace {

QMenu* earlierYearsMenu(PageletWindow& window)
{
    for (QAction* a : window.menu().menu().actions())
        if (a->text() == "지난 해 오늘")
            return a->menu();
    return nullptr;
}

QStringList entries(QMenu& menu)
{
    emit menu.aboutToShow();
    QStringList out;
    for (const QAction* a : menu.actions())
        out << a->text() + (a->isEnabled() ? "" : " (off)");
    return out;
}

TEST(EarlierYears, ListsTheSameDayOfEarlierYearsNewestFirstAndGoesThereStoringThePageLeft)
{
    qttest::TempInstall temp;
    temp.install(Settings {});
    const QString diary = temp.root + "/diary/";
    auto put = [&](const LocalDate& date, const std::u16string& text) {
        ASSERT_TRUE(writeFileAtomic(fromQString(diary) + makeDateKey(date) + u".dry", encodePage({0, text})));
    };
    put({2023, 12, 8}, u"첫 줄\r\n둘째 줄");
    put({2020, 12, 8}, u" \r\n\r\n  빈 줄 뒤 & 글");
    put({2024, 12, 9}, u"다른 날");
    put({2027, 12, 8}, u"뒷날");
    put({2021, 12, 8}, std::u16string(60, u'가'));
    put({2024, 2, 29}, u"윤날");
    ASSERT_TRUE(writeFileAtomic(fromQString(diary) + makeDateKey(LocalDate {2019, 12, 8}) + u".dry", Bytes {1, 2}));

    PageletWindow window(temp.overrides);
    ASSERT_TRUE(window.start());
    MainDialog& d = window.dialog();
    QMenu* menu = earlierYearsMenu(window);
    ASSERT_NE(menu, nullptr);

    const QString cut = QString(40, QChar(u'가')) + "…";
    const std::vector<std::pair<LocalDate, QStringList>> table {
        {{2026, 12, 8}, {"2023-12-08  첫 줄", "2021-12-08  " + cut, "2020-12-08  빈 줄 뒤 && 글", "2019-12-08"}},
        {{2028, 2, 29}, {"2024-02-29  윤날"}},
        {{2028, 3, 1}, {"지난 해의 같은 날에 쓴 일기가 없습니다 (off)"}},
        {{2024, 12, 8}, {"2023-12-08  첫 줄", "2021-12-08  " + cut, "2020-12-08  빈 줄 뒤 && 글", "2019-12-08"}},
    };
    for (const auto& [shown, expected] : table) {
        d.navigation().startOn(fromLocal(shown));
        EXPECT_EQ(entries(*menu), expected) << shown.year << "-" << shown.month;
    }

    // Going there stores the page being written first, as every change of day does.
    d.navigation().startOn(fromLocal({2026, 12, 8}));
    d.day().showEmptyPage();
    d.editor().setText(u"올해 오늘");
    d.editor().saved = false;
    entries(*menu);
    menu->actions().front()->trigger();
    EXPECT_EQ(localDate(d.day().selectedDay()), (LocalDate {2023, 12, 8}));
    EXPECT_EQ(d.editor().text, u"첫 줄\r\n둘째 줄");
    EXPECT_EQ(d.pages().read({2026, 12, 8}).page.text, u"올해 오늘");
}

} // namespace
} // namespace pagelet
