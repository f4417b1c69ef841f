#include "qt/search/ExportAction.h"
#include "qt/search/SearchHitDelegate.h"
#include "qt/search/SearchWindow.h"
#include "store/PlainPageStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace pagelet {

namespace {

struct Diary {
    Diary()
    {
        // Enough pages that a search is still running when the word changes.
        for (int i = 0; i < 300; ++i)
            page(QDate(2020, 1, 1).addDays(i), u"평범한 하루\r\n별일 없음");
        page({2024, 3, 9}, u"첫 줄\r\n사과를 먹었다 Apple");
        page({2025, 7, 1}, u"apple 한 알");
        page({2026, 12, 7}, u"오늘\r\n\r\nAPPLE 파이와 일기");
    }
    void page(const QDate& d, const std::u16string& text)
    {
        // A plain write: hundreds of synced ones would make the test slow.
        QFile file(dir.path() + d.toString("'/'yyyyMMdd'.dry'"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const Bytes bytes = encodePage({1, text});
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    std::u16string folder() const { return dir.path().toStdU16String() + u"/"; }

    QTemporaryDir dir;
};

void type(QLineEdit& box, const QString& text)
{
    box.setFocus();
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(&box, &event);
}

// Waits for the window's search to end, the events it posted taken in.
bool waitForSearch(SearchWindow& window, int& finished, int expected)
{
    QElapsedTimer timer;
    timer.start();
    while (finished < expected && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
    return finished == expected && !window.searching();
}

void key(QWidget& widget, int code)
{
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

void doubleClick(QWidget& widget, QPoint at)
{
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                      QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
    }
}

QStringList rows(QListWidget& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i) {
        const auto* item = list.item(i);
        const QString line = item->data(SearchHitDelegate::LineRole).toString();
        const int start = item->data(SearchHitDelegate::MatchStartRole).toInt();
        const int length = item->data(SearchHitDelegate::MatchLengthRole).toInt();
        out << item->text() + " " + line.left(start) + "[" + line.mid(start, length) + "]" + line.mid(start + length);
    }
    return out;
}

} // namespace

TEST(SearchWindow, ListsNewestFirstWhileTypingAndJumps)
{
    Diary diary;
    std::vector<LocalDate> jumps;
    SearchWindow window(nullptr, diary.folder(), [&jumps](const LocalDate& d) {
        jumps.push_back(d);
        return true;
    });
    window.show();
    int finished = 0;
    QObject::connect(&window, &SearchWindow::searchFinished, [&finished] { ++finished; });

    // A word typed over a running search: only the last word's days are listed.
    type(window.wordBox(), "별");
    type(window.wordBox(), "일");
    window.wordBox().clear();
    type(window.wordBox(), "apple");
    ASSERT_TRUE(waitForSearch(window, finished, 1));
    EXPECT_EQ(rows(window.results()), (QStringList {"2026년 12월 7일 (월) [APPLE] 파이와 일기",
                                                    "2025년 7월 1일 (화) [apple] 한 알",
                                                    "2024년 3월 9일 (토) 사과를 먹었다 [Apple]"}));

    window.matchCaseBox().setChecked(true);
    ASSERT_TRUE(waitForSearch(window, finished, 2));
    EXPECT_EQ(rows(window.results()), QStringList {"2025년 7월 1일 (화) [apple] 한 알"});
    window.matchCaseBox().setChecked(false);
    ASSERT_TRUE(waitForSearch(window, finished, 3));

    // The rows are drawn with the word marked.
    const QImage shot = window.results().viewport()->grab().toImage();
    bool marked = false;
    for (int y = 0; y < shot.height() && !marked; ++y)
        for (int x = 0; x < shot.width() && !marked; ++x)
            marked = shot.pixelColor(x, y) == QColor(255, 214, 64);
    EXPECT_TRUE(marked);

    // A double click and Return on a row, and Return in the word box, each ask for the jump.
    QListWidget& list = window.results();
    const QRect second = list.visualItemRect(list.item(1));
    doubleClick(*list.viewport(), second.center());
    list.setCurrentRow(2);
    list.setFocus();
    key(list, Qt::Key_Return);
    window.wordBox().setFocus();
    key(window.wordBox(), Qt::Key_Return);
    ASSERT_EQ(jumps.size(), 3u);
    EXPECT_EQ(jumps[0], (LocalDate {2025, 7, 1}));
    EXPECT_EQ(jumps[1], (LocalDate {2024, 3, 9}));
    EXPECT_EQ(jumps[2], (LocalDate {2024, 3, 9}));

    // An empty word stops everything and lists nothing.
    window.wordBox().clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(window.searching());
}

TEST(SearchWindow, ExportTellsHowItWent)
{
    Diary diary;
    QTemporaryDir out;
    const auto written = exportDiaryToFile(PlainPageStore(diary.folder()), out.path() + "/일기", true);
    EXPECT_TRUE(written.written);
    EXPECT_TRUE(written.message.startsWith("일기 303일을 내보냈습니다.")) << written.message.toStdString();
    QFile html(out.path() + "/일기.html");
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    EXPECT_TRUE(html.readAll().contains("<h2 id=\"2026-12-07\">2026-12-07 (월)</h2>"));
    EXPECT_FALSE(exportDiaryToFile(PlainPageStore(diary.folder()), diary.dir.path() + "/x.md", false).written);
}

// Closed from the keyboard, from the word box and from the list alike.
TEST(SearchWindow, EscapeAndCtrlWCloseIt)
{
    Diary diary;
    SearchWindow window(nullptr, diary.folder(), [](const LocalDate&) { return true; });
    for (const QKeyCombination keys : {QKeyCombination(Qt::Key_Escape), Qt::CTRL | Qt::Key_W})
        for (const bool fromList : {false, true}) {
            window.show();
            QApplication::setActiveWindow(&window);
            QWidget* from = fromList ? static_cast<QWidget*>(window.findChild<QListWidget*>()) : &window.wordBox();
            from->setFocus();
            QTest::keyClick(from, keys.key(), keys.keyboardModifiers());
            EXPECT_FALSE(window.isVisible()) << keys.toCombined() << fromList;
        }
}

} // namespace pagelet
