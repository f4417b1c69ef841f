// The real main window, offscreen, on a temporary install whose skin is made of solid cells.
#include "Rig.h"
#include "platform/Commands.h"
#include "store/DayKey.h"
#include "store/PageFormat.h"
#include "base/FileIo.h"
#include "qt/editor/QtEditControl.h"
#include "qt/dialogs/QtMonthCalendar.h"
#include "qt/recorder/QtVoiceRecorder.h"
#include "qt/recorder/RecorderWindow.h"
#include "qt/window/HistoryDialog.h"
#include "settings/NewPasswordDialog.h"
#include "ui/SettingsDialog.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace pagelet;

namespace {

const QColor kBack(180, 180, 180);
const QColor kBlue(0, 0, 255);
const QColor kOtherBack(90, 160, 90);

// Every cell of every strip is one colour of its own, with a magenta 2 x 2 top-left corner.
QColor cellColour(int strip, int cell)
{
    return QColor(40 * strip + 20, 20 * cell + 10, 220 - 15 * cell);
}

// Strips in the skin's member order; names in other letter case are found all the same.
const struct {
    const char* file;
    int cells;
    QSize cell;
} kStrips[] = {{"etc.bmp", 4, {10, 14}},     {"number.bmp", 10, {8, 14}},  {"WEEKDAY.BMP", 7, {20, 14}},
               {"weather.bmp", 5, {16, 16}}, {"button1.bmp", 5, {16, 16}}, {"Button2.bmp", 6, {24, 20}}};

// Two such skins, "Solid" (chosen) and "Other", told apart by their backgrounds.
struct SolidInstall : qttest::TempInstall {
    SolidInstall()
    {
        Settings settings;
        settings.skinName = u"SOLID";
        install(settings, "Solid");
        for (const auto& [name, colour] : {std::pair {"Solid", kBack}, {"Other", kOtherBack}}) {
            const QString skin = root + "/skin/" + name + "/";
            QDir().mkpath(skin);
            QImage back(240, 270, QImage::Format_RGB32);
            back.fill(colour);
            back.save(skin + "back.bmp", "BMP");
            for (int i = 0; i < 6; ++i) {
                const auto& s = kStrips[i];
                QImage strip(s.cell.width() * s.cells, s.cell.height(), QImage::Format_RGB32);
                for (int x = 0; x < strip.width(); ++x)
                    for (int y = 0; y < strip.height(); ++y)
                        strip.setPixelColor(x, y, x % s.cell.width() < 2 && y < 2 ? QColor(255, 0, 255)
                                                                                  : cellColour(i, x / s.cell.width()));
                strip.save(skin + s.file, "BMP");
            }
            QFile skn(skin + "SKIN.skn");
            skn.open(QIODevice::WriteOnly);
            skn.write("NUMBER:8,14\r\nETC:10,14\r\nWEEKDAY:20,14\r\nWEATHER:16,16\r\nBUTTON1:16,16\r\nBUTTON2:24,20\r\n");
        }
    }
};

QPoint centre(const Rect& r)
{
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void pen(PageletWindow& window, QEvent::Type type, QPoint at)
{
    QMouseEvent event(type, at, window.mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &event);
}

int stripIndex(const Skin& s, const ImageStrip* strip)
{
    const ImageStrip* all[] = {s.etcStrip.get(),     s.numberStrip.get(),  s.weekdayStrip.get(),
                               s.weatherStrip.get(), s.button1Strip.get(), s.button2Strip.get()};
    return static_cast<int>(std::find(std::begin(all), std::end(all), strip) - std::begin(all));
}

} // namespace

TEST(MainWindow, StartsOnAnInstallPaintsEachCellAndTheDateAndCloses)
{
    SolidInstall temp;
    PageletWindow window(temp.overrides);
    ASSERT_TRUE(window.start());
    window.show();
    EXPECT_EQ(window.windowTitle(), "Pagelet");
    EXPECT_FALSE(window.calendar().isVisible());
    EXPECT_TRUE(window.editControl().isVisible());
    EXPECT_EQ(temp.registry("Data Path").toString(), temp.root + "/diary/"); // resolved, with its separator

    MainDialog& d = window.dialog();
    ASSERT_EQ(d.skin().elements.size(), 11u);
    struct Case {
        LocalDate date;
        int digits[4]; // month tens and units, day tens and units; -1: none, the background shows
        int weekday;
    };
    // "12월 5일 금요일" and its kin: a missing tens digit leaves its cell empty.
    for (const auto& c : {Case {{2025, 12, 5}, {1, 2, -1, 5}, 5}, Case {{2026, 3, 31}, {-1, 3, 3, 1}, 2},
                          Case {{2026, 10, 10}, {1, 0, 1, 0}, 6}}) {
        d.navigation().startOn(fromLocal(c.date, 12));
        const QImage shot = window.grab().toImage();
        EXPECT_EQ(QColor(shot.pixel(1, 1)), kBack);
        for (const auto& e : d.skin().elements) {
            const QColor cell = cellColour(stripIndex(d.skin(), e->strip), e->cell);
            EXPECT_EQ(QColor(shot.pixel(centre(e->rect))), cell) << e->command;
            EXPECT_EQ(QColor(shot.pixel(e->rect.left, e->rect.top)), kBack) << "magenta corner, " << e->command;
            EXPECT_EQ(QColor(shot.pixel(e->rect.right - 1, e->rect.bottom - 1)), cell) << e->command;
        }
        auto digit = [](int n) { return n < 0 ? kBack : cellColour(1, n); };
        const QColor date[9] = {digit(c.digits[0]), digit(c.digits[1]), cellColour(0, 0),
                                digit(c.digits[2]), digit(c.digits[3]), cellColour(0, 1),
                                cellColour(2, c.weekday), cellColour(0, 2), cellColour(0, 3)};
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(QColor(shot.pixel(centre(d.skin().dateCells[i]))), date[i]) << c.date.month << "/" << c.date.day << " cell " << i;
    }

    // The voice button is framed while the day has a memo file.
    const Rect voice = d.skin().findElement(CMD_VOICE)->rect;
    const std::string memo = toUtf8(d.memo().memoPath(d.day().selectedDay()));
    auto framed = [&] { return window.grab().toImage().pixel(voice.left + 8, voice.top - 1) != kBack.rgb(); };
    EXPECT_FALSE(framed());
    std::ofstream(memo) << "RIFF";
    EXPECT_TRUE(framed());
    std::filesystem::remove(memo);
    std::filesystem::create_directory(memo);
    EXPECT_FALSE(framed()) << "a folder is no memo";

    EXPECT_TRUE(window.close());
    EXPECT_TRUE(temp.messages.shown.empty());
    EXPECT_EQ(temp.exit.status, -1);
}

// The window is painted before the editor is built; the page's text follows the first paint,
// or comes at once with whatever the user does first, or a moment later in a window not shown.
TEST(MainWindow, AStartPaintingFirstShowsTheDayThenItsPageHoweverItGoesOn)
{
    const QDate now = QDate::currentDate();
    const Page page {2, u"첫 줄\r\n둘째 줄"};
    enum class Then { Painted, KeyFirst, NeverShown };
    for (Then then : {Then::Painted, Then::KeyFirst, Then::NeverShown}) {
        SCOPED_TRACE(static_cast<int>(then));
        SolidInstall temp;
        ASSERT_TRUE(writeFileAtomic(fromQString(temp.root + "/diary/") + makeDateKey({now.year(), now.month(), now.day()}) + u".dry",
                                    encodePage(page)));
        PageletWindow window(temp.overrides);
        ASSERT_TRUE(window.startPaintingFirst());
        MainDialog& d = window.dialog();
        EXPECT_FALSE(window.editorBuilt());
        EXPECT_EQ(d.skin().findElement(CMD_WEATHER)->cell, page.weather) << "the mark is right in the first picture";
        EXPECT_EQ(toLocal(d.day().selectedDay()).date.day, now.day());
        switch (then) {
        case Then::Painted:
            window.grab(); // a paint, as the screen's first (not shown: no other paint comes)
            EXPECT_FALSE(window.editorBuilt()) << "not inside the paint";
            QTRY_VERIFY_WITH_TIMEOUT(d.startFinished(), 200);
            EXPECT_FALSE(d.startSettled()) << "the folder's sweep waits for the page's paint";
            window.grab();
            QTRY_VERIFY_WITH_TIMEOUT(d.startSettled(), 200);
            break;
        case Then::KeyFirst:
            // The window's keys work before its menu is made: the next day and back, each a key.
            window.show();
            QApplication::setActiveWindow(&window);
            QTest::keyClick(&window, Qt::Key_PageDown, Qt::ControlModifier);
            EXPECT_TRUE(d.startSettled());
            EXPECT_EQ(toLocal(d.day().selectedDay()).date.day, now.addDays(1).day());
            QTest::keyClick(&window, Qt::Key_PageUp, Qt::ControlModifier);
            break;
        case Then::NeverShown:
            QTest::qWait(100);
            EXPECT_FALSE(d.startFinished());
            QTRY_VERIFY_WITH_TIMEOUT(d.startSettled(), 1000);
            break;
        }
        EXPECT_TRUE(window.editorBuilt());
        EXPECT_FALSE(window.windowIcon().isNull()) << "set with the page";
        EXPECT_EQ(d.day().weather(), page.weather);
        EXPECT_EQ(window.editControl().text(), page.text);
        EXPECT_EQ(d.skin().findElement(CMD_WEATHER)->cell, page.weather);
        // The folder is watched once the start is settled, however it got there.
        const Page behind {3, u"다른 곳에서"};
        ASSERT_TRUE(writeFileAtomic(fromQString(temp.root + "/diary/") + makeDateKey({now.year(), now.month(), now.day()}) + u".dry",
                                    encodePage(behind)));
        QTRY_VERIFY_WITH_TIMEOUT(window.editControl().text() == behind.text, 2000);
        EXPECT_TRUE(window.close());
        EXPECT_TRUE(temp.messages.shown.empty());
    }
}

TEST(MainWindow, APressShowsThePressedLookTheReleaseSendsTheCommandOnceAndBlueFillsTheRest)
{
    SolidInstall temp;
    PageletWindow window(temp.overrides);
    ASSERT_TRUE(window.start());
    window.show();
    MainDialog& d = window.dialog();
    const Rect r = d.skin().findElement(CMD_WEATHER)->rect; // enabled: today has no page yet
    const QColor normal = cellColour(3, 0);
    const QPalette pal = QApplication::palette();
    const QColor hi = pal.color(QPalette::Highlight);

    pen(window, QEvent::MouseButtonPress, QPoint(r.left + 5, r.top + 5));
    QImage shot = window.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(centre(r))),
              QColor((normal.red() + hi.red()) / 2, (normal.green() + hi.green()) / 2, (normal.blue() + hi.blue()) / 2));
    EXPECT_EQ(shot.pixel(r.left, r.top + 8), pal.color(QPalette::Shadow).rgb()) << "inner edge";
    EXPECT_EQ(shot.pixel(r.left - 1, r.top + 8), pal.color(QPalette::Dark).rgb());
    EXPECT_EQ(shot.pixel(r.right, r.top + 8), pal.color(QPalette::Light).rgb());
    EXPECT_EQ(d.day().weather(), 0);

    // Lifted somewhere else: the command still goes, once.
    pen(window, QEvent::MouseButtonRelease, QPoint(120, 120));
    pen(window, QEvent::MouseButtonRelease, QPoint(120, 120));
    EXPECT_EQ(d.day().weather(), 1);
    shot = window.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(centre(r))), cellColour(3, 1));
    EXPECT_EQ(QColor(shot.pixel(r.left - 1, r.top + 8)), kBack);

    // Without a background, the blue fill and nothing else; a smaller one leaves the rest blue.
    d.skin().background.reset();
    shot = window.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(1, 1)), kBlue);
    EXPECT_EQ(QColor(shot.pixel(centre(r))), kBlue);

    QImage small(200, 200, QImage::Format_RGB32);
    small.fill(QColor(200, 30, 30));
    d.skin().background = std::make_unique<QtBitmap>(small);
    shot = window.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(130, 10)), QColor(200, 30, 30));
    EXPECT_EQ(QColor(shot.pixel(239, 100)), kBlue);
    EXPECT_EQ(QColor(shot.pixel(1, 230)), kBlue);
    EXPECT_EQ(QColor(shot.pixel(centre(r))), cellColour(3, 1));
}

TEST(MainWindow, TheSettingsDialogChangesApplyAtOnceKeepThePageStateAndAreStoredByteExact)
{
    using S = SettingsDialog;
    using namespace qttest;
    SolidInstall temp;
    fakes::FakeClock clock;
    clock.value = fromLocal({2026, 12, 7}, 14, 5, 9);
    temp.overrides.clock = &clock;
    PageletWindow window(temp.overrides);
    ASSERT_TRUE(window.start());
    window.show();
    MainDialog& d = window.dialog();
    const std::u16string config = fromQString(temp.root + "/config.dat");
    // Picks a skin and a time style in the dialog, as a user would, and presses OK.
    auto change = [&](const QString& skin, int style, std::function<void(QtDialog&)> more = {}) {
        whenModal([=](QtDialog& dlg) {
            list(dlg, S::kSkinList)->setCurrentIndex(list(dlg, S::kSkinList)->findText(skin));
            list(dlg, S::kTimeFormatList)->setCurrentIndex(style);
            if (more)
                more(dlg);
            click(dlg, kIdOk);
        });
        d.onCommand(CMD_SETTINGS, -1, -1);
    };
    // The new skin's buttons show the shown page's state, not a fresh skin's.
    auto expectButtons = [&](int editCommand, bool editing, bool deletable, int weather) {
        ASSERT_TRUE(d.skin().findElement(editCommand));
        EXPECT_EQ(d.skin().findElement(editCommand)->cell, editCommand == CMD_SAVE ? 0 : 1);
        EXPECT_EQ(d.skin().findElement(CMD_WEATHER)->enabled, editing);
        EXPECT_EQ(d.skin().findElement(CMD_WEATHER)->cell, weather);
        EXPECT_EQ(d.skin().findElement(CMD_TIMESTAMP)->enabled, editing);
        EXPECT_EQ(d.skin().findElement(CMD_DELETE)->enabled, deletable);
    };
    // The password is set through its own dialog, on top.
    auto setPassword = [](QtDialog& dlg, const QString& password) {
        if (!dlg.control(S::kSetPasswordButton)->isEnabled())
            click(dlg, S::kUsePasswordCheck);
        whenModal([=](QtDialog& inner) {
            edit(inner, NewPasswordDialog::kPasswordEdit)->setText(password);
            edit(inner, NewPasswordDialog::kConfirmEdit)->setText(password);
            click(inner, kIdOk);
        });
        click(dlg, S::kSetPasswordButton);
    };

    // While writing a day that has no page yet; the data folder is typed without its separator.
    change("OTHER", 5, [&](QtDialog& dlg) {
        EXPECT_EQ(list(dlg, S::kTimeFormatList)->itemText(4), "P.M. 02 : 05 : 09  ");
        setPassword(dlg, "새 암호");
        edit(dlg, S::kDataPathEdit)->setText(temp.root + "/nowhere");
        click(dlg, kIdOk);
        EXPECT_TRUE(dlg.isVisible()) << "a folder that isn't there is refused";
        edit(dlg, S::kDataPathEdit)->setText(temp.root + "/diary");
        edit(dlg, S::kBackupPathEdit)->setText(temp.root + "/skin");
    });
    EXPECT_EQ(temp.messages.shown.size(), 1u);
    EXPECT_EQ(QColor(window.grab().toImage().pixel(1, 1)), kOtherBack);
    Settings want;
    want.usePassword = 1;
    want.password = u"새 암호";
    want.skinName = u"OTHER";
    want.timeFormat = 5;
    want.dataPath = fromQString(temp.root + "/diary/");
    EXPECT_EQ(readFile(config), encodeConfig(want));
    EXPECT_EQ(temp.registry("Data Path").toString(), temp.root + "/diary/");
    EXPECT_EQ(temp.registry("Backup Path").toString(), temp.root + "/skin");
    expectButtons(CMD_SAVE, true, false, 0);
    d.onCommand(CMD_TIMESTAMP, -1, -1);
    EXPECT_EQ(d.editor().text, u"14 : 05 : 09 ");

    d.onCommand(CMD_WEATHER, -1, -1);
    d.onCommand(CMD_WEATHER, -1, -1);
    d.onCommand(CMD_SAVE, -1, -1);
    change("SOLID", 5); // while viewing the stored page
    EXPECT_EQ(QColor(window.grab().toImage().pixel(1, 1)), kBack);
    expectButtons(CMD_EDIT, false, true, 2);
    d.onCommand(CMD_EDIT, -1, -1);
    change("OTHER", 5); // while editing it
    expectButtons(CMD_SAVE, true, true, 2);

    // Cancel after a new password keeps the stored one.
    const auto stored = readFile(config);
    whenModal([&](QtDialog& dlg) {
        setPassword(dlg, "other");
        click(dlg, kIdCancel);
    });
    d.onCommand(CMD_SETTINGS, -1, -1);
    EXPECT_EQ(d.settings().password, u"새 암호");
    EXPECT_EQ(readFile(config), stored);
}

// A second machine writing the same page through a synced folder: beside, then renamed over.
TEST(MainWindow, APageReplacedBehindTheWindowIsShownAnewOrMergedWithWhatIsTyped)
{
    using namespace qttest;
    SolidInstall temp;
    // The window starts on the calendar's today.
    const QString page = temp.root + "/diary/" + QDate::currentDate().toString("yyyyMMdd") + ".dry";
    auto replaceBehind = [&](const Page& with) {
        ASSERT_TRUE(writeFileAtomic(fromQString(page + ".part"), encodePage(with)));
        ASSERT_TRUE(QFile::remove(page) || !QFile::exists(page));
        ASSERT_TRUE(QFile::rename(page + ".part", page));
    };
    auto waitFor = [](const std::function<bool()>& done) {
        for (int i = 0; i < 100 && !done(); ++i)
            QTest::qWait(10);
        return done();
    };
    replaceBehind({1, u"아침"});
    PageletWindow window(temp.overrides);
    ASSERT_TRUE(window.start());
    window.show();
    MainDialog& d = window.dialog();
    EXPECT_EQ(d.editor().text, u"아침");

    // Only viewed: shown anew within a second.
    replaceBehind({2, u"아침\r\n저녁"});
    EXPECT_TRUE(waitFor([&] { return d.editor().text == u"아침\r\n저녁"; }));
    EXPECT_EQ(d.day().weather(), 2);

    // Edited: what the other machine wrote meanwhile is merged into the stored page.
    d.onCommand(CMD_EDIT, 0, 0);
    window.editControl().setFocus();
    QTest::keyClick(&window.editControl(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(&window.editControl(), Qt::Key_Return);
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("밤"));
    QApplication::sendEvent(&window.editControl(), &typed);
    replaceBehind({2, u"새벽\r\n아침\r\n저녁"});
    QTest::qWait(400); // the watch must leave a page being edited alone
    EXPECT_EQ(d.editor().text, u"아침\r\n저녁\r\n밤");
    d.onCommand(CMD_SAVE, 0, 0);
    QFile stored(page);
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    const QByteArray bytes = stored.readAll();
    const Bytes want = encodePage({2, u"새벽\r\n아침\r\n저녁\r\n밤"});
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), want);
    ASSERT_EQ(temp.messages.shown.size(), 1u);
    EXPECT_EQ(temp.messages.shown[0].text, u"이 날의 일기가 다른 곳에서 바뀌었습니다.\n두 내용을 합쳐 저장했습니다.");
    EXPECT_EQ(d.editor().text, u"새벽\r\n아침\r\n저녁\r\n밤");
    // Our own write sets off the watch too: nothing more is said or shown.
    QTest::qWait(400);
    EXPECT_EQ(temp.messages.shown.size(), 1u);
}

// The data folder away while a page is being written (a sync tool's move, a disk unmounted):
// the save meanwhile fails and says so; back with the same bytes, the next save stores the text
// as it is, with no word of a change elsewhere.
TEST(MainWindow, ADataFolderAwayAndBackIsNoOutsideChange)
{
    using namespace qttest;
    SolidInstall temp;
    const QString diary = temp.root + "/diary", away = temp.root + "/diary-away";
    const QString page = diary + "/" + QDate::currentDate().toString("yyyyMMdd") + ".dry";
    ASSERT_TRUE(writeFileAtomic(fromQString(page), encodePage({0, u"아침"})));
    PageletWindow window(temp.overrides);
    ASSERT_TRUE(window.start());
    window.show();
    MainDialog& d = window.dialog();
    d.onCommand(CMD_EDIT, 0, 0);
    window.editControl().setFocus();
    QTest::keyClick(&window.editControl(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(&window.editControl(), Qt::Key_Return);
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("저녁"));
    QApplication::sendEvent(&window.editControl(), &typed);

    ASSERT_TRUE(QDir().rename(diary, away));
    QTest::qWait(400);
    d.onCommand(CMD_SAVE, 0, 0);
    ASSERT_EQ(temp.messages.shown.size(), 1u);
    EXPECT_EQ(temp.messages.shown[0].text, u"일기를 저장할 수 없습니다.\n데이터 폴더를 확인하시기 바랍니다.");
    ASSERT_TRUE(QDir().rename(away, diary));
    QTest::qWait(400);
    d.onCommand(CMD_SAVE, 0, 0);
    EXPECT_EQ(temp.messages.shown.size(), 1u) << "nothing changed elsewhere";
    QFile stored(page);
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    const QByteArray bytes = stored.readAll();
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), encodePage({0, u"아침\r\n저녁"}));
}

// "되돌리기" over text being written: the window says the text is kept, keeps it as a version,
// then shows the version chosen; over a stored page it says nothing of the kind.
TEST(MainWindow, ARestoreOverUnsavedTextKeepsItAndSaysSo)
{
    using namespace qttest;
    for (const bool edited : {true, false}) {
        SCOPED_TRACE(edited ? "edited" : "as stored");
        SolidInstall temp;
        QTemporaryDir state;
        const QString page = temp.root + "/diary/" + QDate::currentDate().toString("yyyyMMdd") + ".dry";
        ASSERT_TRUE(writeFileAtomic(fromQString(page), encodePage({0, u"첫 판"})));
        PageletWindow window(temp.overrides);
        ASSERT_TRUE(window.start());
        MainDialog& d = window.dialog();
        d.keepHistoryUnder(fromQString(state.path()));
        d.setDataFolder(d.settings().dataPath);
        d.onCommand(CMD_EDIT, 0, 0);
        d.editor().setText(u"둘째 판");
        d.onCommand(CMD_SAVE, 0, 0);
        d.onCommand(CMD_EDIT, 0, 0);
        if (edited) {
            window.editControl().setFocus();
            QTest::keyClick(&window.editControl(), Qt::Key_End, Qt::ControlModifier);
            QInputMethodEvent typed;
            typed.setCommitString(QStringLiteral(" 쓰는 중"));
            QApplication::sendEvent(&window.editControl(), &typed);
        }
        bool told = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<HistoryDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            const auto* kept = box->findChild<QLabel*>(QStringLiteral("unsavedKept"));
            told = kept && kept->text() == QStringLiteral("지금 쓰고 있는 저장하지 않은 내용은 되돌리기 전에 이전 내용으로 보관됩니다.");
            for (QPushButton* button : box->findChildren<QPushButton*>())
                if (button->text() == QStringLiteral("되돌리기"))
                    button->click();
        });
        showHistoryDialog(&window, d);
        EXPECT_EQ(told, edited);
        EXPECT_EQ(d.editor().text, u"첫 판");
        d.history()->flush();
        const auto versions = d.history()->versions(localDate(d.day().selectedDay()));
        ASSERT_EQ(versions.size(), edited ? 2u : 1u);
        const auto newest = d.pages().pageOfFileBytes(localDate(d.day().selectedDay()), *d.history()->read(versions.front()));
        ASSERT_TRUE(newest);
        EXPECT_EQ(newest->text, edited ? u"둘째 판 쓰는 중" : u"첫 판");
    }
}

// Paging through the days rewrites no page that was not typed into, whatever breaks it was
// written with.
TEST(MainWindow, PagingThroughRewritesNothingUntouched)
{
    qttest::TempInstall temp;
    temp.install(Settings {});
    const std::string folder = (temp.root + "/diary/").toStdString();
    const std::pair<LocalDate, std::u16string> pages[] = {
        {{2026, 3, 3}, u"crlf\r\nbreaks\r\n"}, {{2026, 3, 4}, u"lone\nfeed\rreturn"}, {{2026, 3, 5}, u"plain"}};
    const auto path = [&](const LocalDate& day) { return folder + toUtf8(makeDateKey(day)) + ".dry"; };
    for (const auto& [day, text] : pages)
        ASSERT_TRUE(writeFileAtomic(fromUtf8(path(day)), encodePage({0, text})));
    const auto inodes = [&] { // a store renames a new file into place
        std::vector<ino_t> out;
        for (const auto& [day, text] : pages) {
            struct stat st {};
            out.push_back(::stat(path(day).c_str(), &st) == 0 ? st.st_ino : 0);
        }
        return out;
    };
    const auto before = inodes();
    PageletWindow window(temp.overrides);
    ASSERT_TRUE(window.start());
    window.show();
    MainDialog& d = window.dialog();
    d.navigation().startOn(fromLocal({2026, 3, 3}));
    for (int command : {CMD_NEXT_DAY, CMD_NEXT_DAY, CMD_PREV_DAY, CMD_PREV_DAY})
        d.onCommand(command, 0, 0);
    EXPECT_EQ(inodes(), before);
    EXPECT_EQ(d.editor().text, u"crlf\r\nbreaks\r\n");
}

// Cancel in the recorder asks whether to erase the memo; Return alone must answer No. The real
// message box, as a hand meets it.
TEST(MainWindow, TheRecordersEraseQuestionKeepsTheMemoOnReturn)
{
    SolidInstall temp;
    WindowOverrides overrides = temp.overrides;
    overrides.messages = nullptr;
    PageletWindow window(overrides);
    ASSERT_TRUE(window.start());
    window.show();
    MainDialog& d = window.dialog();
    const std::string memo = toUtf8(d.memo().memoPath(d.day().selectedDay()));
    std::ofstream(memo) << "RIFF";

    QApplication::setActiveWindow(&window);
    window.editControl().setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_M, Qt::ControlModifier);
    RecorderWindow* recorder = window.recorder().window();
    ASSERT_TRUE(recorder && recorder->isVisible());
    QString asked;
    bool defaultNo = false;
    QTimer poll;
    QElapsedTimer since;
    since.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (since.elapsed() > 10000)
                poll.stop();
            return;
        }
        poll.stop();
        asked = box->text();
        defaultNo = box->defaultButton() == box->button(QMessageBox::No);
        QTest::keyClick(box, Qt::Key_Return);
        if (box->isVisible()) // never left waiting: the test fails instead
            box->reject();
    });
    poll.start(10);
    QTest::keyClick(recorder, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!poll.isActive(), 12000);

    EXPECT_EQ(asked, QStringLiteral("녹음된 데이터를 정말로 지우시겠습니까?"));
    EXPECT_TRUE(defaultNo);
    EXPECT_TRUE(std::filesystem::exists(memo)) << "Return erased the memo";
    EXPECT_TRUE(window.close());
}
