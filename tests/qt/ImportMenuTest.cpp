#include "Rig.h"
#include "base/FileIo.h"
#include "qt/dialogs/QtMonthCalendar.h"
#include "qt/search/ImportAction.h"
#include "store/DayKey.h"
#include "store/PageFormat.h"

#include <QFile>
#include <QTextCharFormat>
#include <gtest/gtest.h>

namespace pagelet {
namespace {

// The window's import, one source after another: the page being written is kept and gains the
// import, the calendar marks the new day, and a refusal or a "no" changes nothing.
TEST(ImportMenu, ImportsIntoTheShownPageAndMarksTheNewDaysOrRefusesChangingNothing)
{
    qttest::TempInstall temp;
    temp.install(Settings {});
    const auto put = [&](const QString& name, const QByteArray& bytes) {
        QFile file(temp.root + "/" + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const QString journal = put("Journal.json", R"({"entries": [
        {"creationDate": "2026-12-08T09:15:00Z", "text": "가져온 아침"},
        {"creationDate": "2026-12-03T20:00:00Z", "text": "셋째 날"}]})");
    const QString more = put("more.json", R"({"entries": [
        {"creationDate": "2026-12-08T09:15:00Z", "text": "가져온 아침"},
        {"creationDate": "2026-12-03T20:00:00Z", "text": "셋째 날"},
        {"creationDate": "2026-12-05T01:00:00Z", "text": "새 날"}]})");
    const QString cut = put("cut.json", R"({"entries": [{"creationDate": "2026-12-09T07:30:00Z", "te)");
    const QString other = put("other.json", R"({"entries": [{"creationDate": "2026-12-10T07:30:00Z", "text": "아니오"}]})");

    PageletWindow window(temp.overrides);
    ASSERT_TRUE(window.start());
    MainDialog& d = window.dialog();
    d.navigation().startOn(fromLocal({2026, 12, 8}));
    window.calendar().setSelection(d.day().selectedDay());
    d.day().showEmptyPage();
    d.editor().setText(u"쓰던 글");
    d.editor().saved = false;

    const struct {
        QString source;
        bool answer;
        bool asked;
        bool imported;
        QStringList message; // what it says, in parts
        int pages;
    } cases[] = {
        {journal, true, true, true, {"가져왔습니다: 항목 2개, 일기 2일 (새 일기 1일)"}, 2},
        {journal, true, false, false, {"새로 가져올 내용이 없습니다."}, 2},
        {more, true, true, true, {"가져왔습니다: 항목 1개, 일기 1일 (새 일기 1일), 이미 있는 항목 2개 건너뜀"}, 3},
        {cut, true, false, false, {"가져올 수 없습니다. 아무것도 바꾸지 않았습니다.\n", "cut.json: damaged JSON"}, 3},
        {other, false, true, false, {}, 3},
    };
    QString firstQuestion;
    for (const auto& c : cases) {
        QString summary;
        const ImportReport report = importIntoDiary(c.source, d.day(), d.navigation(), d.pages(), [&](const QString& s) {
            summary = s;
            if (firstQuestion.isEmpty())
                firstQuestion = s;
            return c.answer;
        });
        const std::string what = c.source.toStdString();
        EXPECT_EQ(!summary.isEmpty(), c.asked) << what;
        EXPECT_EQ(report.imported, c.imported) << what;
        EXPECT_EQ(report.message.isEmpty(), c.message.isEmpty()) << what;
        for (const QString& part : c.message)
            EXPECT_TRUE(report.message.contains(part)) << what << ": " << report.message.toStdString();
        EXPECT_EQ(d.pages().listDays()->size(), std::size_t(c.pages)) << what;
    }
    EXPECT_EQ(firstQuestion, "가져올 내용: 항목 2개, 일기 2일 (새 일기 1일)\n\n2026-12-03  새 일기\n"
                             "2026-12-08  있는 일기에 덧붙임\n\n가져올까요?");
    // The page on the window shows what was written and what was imported.
    EXPECT_EQ(localDate(d.day().selectedDay()), (LocalDate {2026, 12, 8}));
    EXPECT_EQ(d.editor().text.get().substr(0, 6), u"쓰던 글\r\n");
    EXPECT_NE(d.editor().text.get().find(u"[09:15] 가져온 아침"), std::u16string::npos);
    EXPECT_EQ(d.pages().read({2026, 12, 8}).page.text, d.editor().text.get());
    for (const auto& [day, bold] : std::vector<std::pair<QDate, bool>> {{{2026, 12, 3}, true}, {{2026, 12, 8}, true},
                                                                     {{2026, 12, 10}, false}})
        EXPECT_EQ(window.calendar().dateTextFormat(day).fontWeight() == QFont::Bold, bold) << day.day();
}

} // namespace
} // namespace pagelet
