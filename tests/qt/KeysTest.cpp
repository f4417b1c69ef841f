// The window's keys, its menu and its zoom, on the real window offscreen with a shipped skin.
#include "Rig.h"
#include "platform/Commands.h"
#include "qt/editor/QtEditControl.h"
#include "qt/dialogs/QtMonthCalendar.h"
#include "qt/search/SearchWindow.h"
#include "qt/window/WindowMenu.h"
#include "qt/graphics/Zoom.h"

#include <QMenu>
#include <functional>
#include "store/PageFormat.h"
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QTimer>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QMouseEvent>
#include <QTest>
#include <QToolTip>
#include <cstdio>
#include <filesystem>
#include <tuple>

using namespace pagelet;

namespace {

struct Sent {
    int command;
    std::intptr_t wParam, lParam;
    bool operator==(const Sent&) const = default;
};

// Records what the buttons send; passes it on only when asked, so the page state holds still.
class RecordingWindow : public PageletWindow {
public:
    using PageletWindow::PageletWindow;
    int sendCommand(int command, std::intptr_t wParam, std::intptr_t lParam) override
    {
        sent.push_back({command, wParam, lParam});
        return forward ? PageletWindow::sendCommand(command, wParam, lParam) : 0;
    }
    std::vector<Sent> sent;
    bool forward = false;
};

struct ShippedSkin : qttest::TempInstall {
    ShippedSkin()
    {
        install(Settings());
        std::filesystem::copy(PAGELET_RES_DIR "/skins/default", toUtf8(fromQString(root)) + "/skin/default",
                              std::filesystem::copy_options::overwrite_existing | std::filesystem::copy_options::recursive);
    }
};

void started(RecordingWindow& window)
{
    ASSERT_TRUE(window.start());
    window.show();
    QApplication::setActiveWindow(&window);
    window.editControl().setFocus();
}

const struct {
    QKeyCombination keys;
    int command;
} kCommandKeys[] = {
    {Qt::CTRL | Qt::Key_PageUp, CMD_PREV_DAY},  {Qt::CTRL | Qt::Key_PageDown, CMD_NEXT_DAY},
    {Qt::ALT | Qt::Key_Home, CMD_TODAY},        {Qt::CTRL | Qt::Key_D, CMD_CALENDAR},
    {Qt::CTRL | Qt::Key_E, CMD_EDIT},           {Qt::CTRL | Qt::Key_S, CMD_SAVE},
    {Qt::CTRL | Qt::SHIFT | Qt::Key_W, CMD_WEATHER}, {Qt::CTRL | Qt::Key_T, CMD_TIMESTAMP},
    {Qt::CTRL | Qt::Key_F, CMD_FIND},           {Qt::CTRL | Qt::Key_M, CMD_VOICE},
    {Qt::CTRL | Qt::SHIFT | Qt::Key_Delete, CMD_DELETE}, {Qt::CTRL | Qt::Key_Comma, CMD_SETTINGS},
};

void press(QWidget* target, QKeyCombination k)
{
    QTest::keyClick(target, k.key(), k.keyboardModifiers());
}

} // namespace

TEST(WindowKeys, EachSendsItsButtonsCommandAndParametersOrNothingWithoutAnEnabledButton)
{
    ShippedSkin temp;
    RecordingWindow window(temp.overrides);
    started(window);
    Skin& skin = window.dialog().skin();
    // A day without a page is being written: the button shows "save", delete is greyed.
    enum { AsButton, AllDisabled, NoButtons };
    for (int round : {AsButton, AllDisabled, NoButtons}) {
        if (round == AllDisabled)
            for (auto& e : skin.elements)
                e->enabled = false;
        if (round == NoButtons)
            skin.DeleteSkinElements();
        for (const auto& k : kCommandKeys) {
            window.sent.clear();
            press(QApplication::focusWidget(), k.keys); // the editor: its own keys must not win
            const SkinElement* e = nullptr;
            for (const auto& each : skin.elements)
                if (each->command == k.command && each->enabled)
                    e = each.get();
            std::vector<Sent> want;
            if (e)
                want.push_back({k.command, e->wParam, e->lParam});
            else if (k.command == CMD_SETTINGS)
                want.push_back({CMD_SETTINGS, -1, -1});
            EXPECT_EQ(window.sent, want) << "round " << round << ", command " << k.command;
            if (round == AsButton) {
                EXPECT_EQ(!want.empty(), k.command != CMD_EDIT && k.command != CMD_DELETE) << k.command;
            }
        }
    }
    EXPECT_EQ(QApplication::focusWidget(), &window.editControl());
    EXPECT_TRUE(window.dialog().editor().text.empty()) << "no key typed into the page";
}

TEST(WindowKeys, TheCalendarTakesArrowsAndReturnWhenOpenedByKeyAndEscapeClosesIt)
{
    ShippedSkin temp;
    RecordingWindow window(temp.overrides);
    window.forward = true;
    started(window);
    ShownDay& day = window.dialog().day();
    const LocalDate start = localDate(day.selectedDay());

    press(&window.editControl(), Qt::CTRL | Qt::Key_D);
    ASSERT_TRUE(window.calendar().isVisible());
    press(QApplication::focusWidget(), QKeyCombination(Qt::Key_Escape));
    EXPECT_FALSE(window.calendar().isVisible());
    EXPECT_FALSE(window.dialog().calendar().visible());
    EXPECT_EQ(localDate(day.selectedDay()), start);

    press(QApplication::focusWidget(), Qt::CTRL | Qt::Key_D);
    ASSERT_TRUE(window.calendar().isVisible());
    press(QApplication::focusWidget(), QKeyCombination(Qt::Key_Down)); // a week on
    press(QApplication::focusWidget(), QKeyCombination(Qt::Key_Left));
    press(QApplication::focusWidget(), QKeyCombination(Qt::Key_Return));
    EXPECT_FALSE(window.calendar().isVisible());
    EXPECT_EQ(localDate(day.selectedDay()), toLocalDate(toQDate(start).addDays(6)));
    EXPECT_TRUE(window.isAncestorOf(QApplication::focusWidget())) << "the keys come back to the window";
}

TEST(WindowKeys, ZoomAndCloseKeys)
{
    ShippedSkin temp;
    RecordingWindow window(temp.overrides);
    started(window);
    for (const auto& [keys, percent] : {std::pair {Qt::CTRL | Qt::Key_Equal, 150}, {Qt::CTRL | Qt::Key_Equal, 200},
                                        {Qt::CTRL | Qt::Key_Equal, 300}, {Qt::CTRL | Qt::Key_Equal, 300},
                                        {Qt::CTRL | Qt::Key_Minus, 200}, {Qt::CTRL | Qt::Key_0, 100},
                                        {Qt::CTRL | Qt::Key_Minus, 100}}) {
        press(&window.editControl(), keys);
        EXPECT_EQ(window.size(), QSize(240, 270) * percent / 100);
        EXPECT_EQ(temp.registry("Zoom").toInt(), percent);
    }
    press(&window.editControl(), Qt::CTRL | Qt::Key_W);
    EXPECT_FALSE(window.isVisible());
}

TEST(WindowMenu, ListsEveryCommandTheZoomStepsAndAboutAndGreysWhatATapWouldNotDo)
{
    ShippedSkin temp;
    RecordingWindow window(temp.overrides);
    started(window);
    QMenu& menu = window.menu().menu();
    auto entries = [&] {
        QStringList out;
        for (const QAction* a : menu.actions())
            out << (a->isSeparator() ? "-" : a->text() + (a->shortcut().isEmpty() ? "" : "\t" + a->shortcut().toString()));
        return out;
    };
    QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(5, 5), window.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&window, &right);
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(entries(), QStringList({"복사\tCtrl+C", "모두 선택\tCtrl+A", "-", "이전 날\tCtrl+PgUp", "다음 날\tCtrl+PgDown", "오늘\tAlt+Home", "달력\tCtrl+D",
                                      "편집\tCtrl+E", "저장\tCtrl+S", "날씨\tCtrl+Shift+W", "시간 넣기\tCtrl+T",
                                      "찾기\tCtrl+F", "음성 메모\tCtrl+M", "이 날 지우기\tCtrl+Shift+Del",
                                      "설정\tCtrl+,", "-", "크기", "-", "모든 일기에서 찾기...\tCtrl+Shift+F",
                                      "내보내기...\tCtrl+Shift+E", "이전 내용...\tCtrl+H", "가져오기...\tCtrl+Shift+I",
                                      "지난 해 오늘\tCtrl+Shift+Y", "-", "Pagelet 정보\tF1", "-",
                                      "닫기\tCtrl+Q"}));
    QStringList greyed;
    for (const QAction* a : menu.actions())
        if (!a->isEnabled())
            greyed << a->text();
    EXPECT_EQ(greyed, QStringList({"복사", "편집", "이 날 지우기"})); // nothing selected to copy
    QStringList sizes;
    for (const QAction* a : menu.actions()[16]->menu()->actions())
        sizes << (a->isSeparator() ? "-" : a->text() + (a->isChecked() ? "*" : ""));
    EXPECT_EQ(sizes, QStringList({"크게", "작게", "원래 크기", "-", "&100 %*", "1&50 %", "&200 %", "&300 %"}));
    menu.hide();

    // Hovering a button names it and its keys, at any zoom.
    window.zoomTo(200);
    for (int command : {CMD_PREV_DAY, CMD_VOICE}) {
        const QRect r = window.zoom().scaled(window.dialog().skin().findElement(command)->rect);
        QHelpEvent hover(QEvent::ToolTip, r.bottomRight(), window.mapToGlobal(r.bottomRight()));
        QApplication::sendEvent(&window, &hover);
        EXPECT_EQ(QToolTip::text(), command == CMD_PREV_DAY ? "이전 날 (Ctrl+PgUp)" : "음성 메모 (Ctrl+M)");
    }
    window.zoomTo(100);

    // A skin without buttons: settings is still there, and the entries' keys work again.
    window.dialog().skin().DeleteSkinElements();
    window.menu().popup(QPoint());
    for (const QAction* a : menu.actions())
        if (a->text() == "설정" || a->text() == "오늘") {
            EXPECT_EQ(a->isEnabled(), a->text() == "설정");
        }
    menu.hide();
    for (const QAction* a : menu.actions())
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
}

TEST(WindowKeys, SearchingEveryYearJumpsAsFindDoesStoringThePageLeft)
{
    ShippedSkin temp;
    RecordingWindow window(temp.overrides);
    started(window);
    window.forward = true;
    window.dialog().editor().insertText(u"written today");
    press(&window.editControl(), Qt::CTRL | Qt::SHIFT | Qt::Key_F);
    auto* search = window.findChild<SearchWindow*>(QStringLiteral("searchWindow"));
    ASSERT_NE(search, nullptr);
    ASSERT_TRUE(search->isVisible());
    const LocalDate old {2024, 5, 5};
    ASSERT_TRUE(search->jumpTo(old));
    EXPECT_EQ(localDate(window.dialog().day().selectedDay()), old);
    EXPECT_TRUE(std::filesystem::exists(toUtf8(window.dialog().day().pagePath(window.dialog().day().previousDay()))));
}

TEST(WindowZoom, ScalesEveryPixelWithoutBlurAndTapsLandOnTheSameButton)
{
    ShippedSkin temp;
    RecordingWindow window(temp.overrides);
    started(window);
    MainDialog& d = window.dialog();
    const Rect text = d.skin().textArea;
    const QImage plain = window.grab().toImage();
    for (int percent : {150, 200}) {
        window.zoomTo(percent);
        ASSERT_EQ(window.size(), QSize(240, 270) * percent / 100);
        EXPECT_TRUE(d.editor().saved) << "a zoom is no change to the page";
        EXPECT_EQ(window.clientSize(), (Size {240, 270}));
        EXPECT_EQ(window.editControl().geometry(), window.zoom().scaled(d.editor().area));
        // Outside the page, each window pixel is the 100 % pixel it covers.
        const QImage zoomed = window.grab().toImage();
        int wrong = 0;
        for (int y = 0; y < zoomed.height(); ++y)
            for (int x = 0; x < zoomed.width(); ++x) {
                const int px = window.zoom().pixelAt(x), py = window.zoom().pixelAt(y);
                if (!text.inflated(1).contains(px, py) && zoomed.pixel(x, y) != plain.pixel(px, py))
                    ++wrong;
            }
        EXPECT_EQ(wrong, 0) << percent;
        // The first and last window pixels of every button send its command.
        for (const auto& e : d.skin().elements) {
            const QRect r = window.zoom().scaled(e->rect);
            for (QPoint at : {r.topLeft(), r.bottomRight()}) {
                window.sent.clear();
                QTest::mousePress(&window, Qt::LeftButton, {}, at);
                QTest::mouseRelease(&window, Qt::LeftButton, {}, at);
                std::vector<Sent> want;
                if (e->enabled)
                    want.push_back({e->command, e->wParam, e->lParam});
                EXPECT_EQ(window.sent, want) << percent << " % at " << at.x() << "," << at.y();
            }
        }
    }
    window.zoomTo(100);
}

TEST(WindowZoom, TheEditorsTextCaretAndTapsStayOnTheRuledRows)
{
    ShippedSkin temp;
    RecordingWindow window(temp.overrides);
    window.forward = true;
    started(window);
    DiaryEdit& editor = window.dialog().editor();
    QtEditControl& control = window.editControl();
    for (const char* line : {"one", "two", "three"}) {
        QTest::keyClicks(&control, line);
        if (line[0] != 't' || line[1] != 'h')
            QTest::keyClick(&control, Qt::Key_Return);
    }
    const Point third100 = editor.posFromChar(10); // "three"
    QApplication::setCursorFlashTime(0); // a caret that never blinks off
    const QRect caret100 = control.caretRect();
    ASSERT_FALSE(caret100.isEmpty());
    for (int percent : {150, 200}) {
        window.zoomTo(percent);
        EXPECT_EQ(editor.posFromChar(10), third100) << "the core keeps 100 % positions";
        // The caret sits on the zoomed row of the page.
        const QRect caret = control.caretRect();
        EXPECT_EQ(caret.top(), window.zoom().scaled(caret100.top())) << percent;
        EXPECT_EQ(caret.height(), window.zoom().scaled(caret100.top() + caret100.height()) - window.zoom().scaled(caret100.top()));
        // A tap on the second row puts the caret into "two".
        const QPoint row2(window.zoom().scaled(20), window.zoom().scaled(editor.grid().top(1) + editor.lineHeight / 2));
        QTest::mouseClick(control.viewport(), Qt::LeftButton, {}, row2);
        int start = 0, end = 0;
        control.getSelection(start, end);
        EXPECT_GE(start, 5) << percent;
        EXPECT_LE(start, 8) << percent;
        QTest::keyClick(&control, Qt::Key_End, Qt::ControlModifier);
    }
    window.zoomTo(100);
    QApplication::setCursorFlashTime(1000);
}

TEST(WindowZoom, TheCalendarAndTheMenuFollowTheirWindowsZoomAndNoOtherWindow)
{
    ShippedSkin temp;
    RecordingWindow window(temp.overrides);
    started(window);
    QtMonthCalendar& calendar = window.calendar();
    const QFont base = QApplication::font();
    for (int percent : {150, 300, 200, 100}) {
        SCOPED_TRACE(percent);
        window.zoomTo(percent);
        const auto scaled = [percent](int length) { return (length * percent + 99) / 100; };
        EXPECT_EQ(calendar.QWidget::size(),
                  QSize(scaled(QtMonthCalendar::kSize.width), scaled(QtMonthCalendar::kSize.height)));
        EXPECT_EQ(calendar.size(), QtMonthCalendar::kSize) << "the core sees the calendar at 100 %";
        window.menu().popup(QPoint());
        EXPECT_DOUBLE_EQ(window.menu().menu().font().pointSizeF(), base.pointSizeF() * percent / 100);
        window.menu().menu().hide();
    }
    window.zoomTo(200);
    RecordingWindow other(temp.overrides);
    EXPECT_EQ(other.zoom().percent(), 100);
    EXPECT_EQ(other.size(), QSize(240, 270));
    window.zoomTo(100);
}

// A screen's size and scale are fixed once the application runs: each screen gets a copy of this
// program, which runs this test with PAGELET_TEST_ZOOM set to "stored,opened,largest" steps.
TEST(WindowZoom, NeverOpensOrGrowsBeyondTheScreensFreeArea)
{
    if (const char* zoom = std::getenv("PAGELET_TEST_ZOOM")) {
        int stored = 0, opened = 0, largest = 0;
        ASSERT_EQ(std::sscanf(zoom, "%d,%d,%d", &stored, &opened, &largest), 3);
        ShippedSkin temp;
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tarnwick", "Pagelet").setValue("Zoom", stored);
        RecordingWindow window(temp.overrides);
        started(window);
        EXPECT_EQ(window.zoom().percent(), opened);
        EXPECT_EQ(temp.registry("Zoom").toInt(), stored) << "kept for a larger screen";
        for (int i = 0; i < 3; ++i)
            press(&window.editControl(), Qt::CTRL | Qt::Key_Equal);
        window.zoomTo(Zoom::kSteps.back());
        EXPECT_EQ(window.zoom().percent(), largest) << "refused by the keys and the menu";
        const QRect room = window.screen()->availableGeometry();
        EXPECT_TRUE(room.contains(window.frameGeometry())) << room.width() << "x" << room.height();
        window.menu().popup(QPoint());
        QStringList offered, fitting;
        for (const QAction* a : window.menu().menu().actions()[16]->menu()->actions())
            if (a->isEnabled() && a->text().endsWith('%'))
                offered << QString(a->text()).remove('&'); // the accelerator digit
        window.menu().menu().hide();
        for (int step : Zoom::kSteps)
            if (step <= largest)
                fitting << QStringLiteral("%1 %").arg(step);
        EXPECT_EQ(offered, fitting);
        return;
    }
    struct Case {
        const char* screen;
        const char* scale;
        const char* zoom;
    };
    for (const Case& c : {Case {"1024x768", "2", "150,100,100"}, {"1024x768", "1", "300,200,200"},
                          {"1024x768", "1", "150,150,200"}, {"800x600", "1.5", "200,100,100"}}) {
        SCOPED_TRACE(std::string(c.screen) + " at " + c.scale + ", " + c.zoom);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("PAGELET_TEST_SCREEN", c.screen);
        env.insert("QT_SCALE_FACTOR", c.scale);
        env.insert("PAGELET_TEST_ZOOM", c.zoom);
        QProcess copy;
        copy.setProcessEnvironment(env);
        copy.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=WindowZoom.NeverOpensOrGrowsBeyondTheScreensFreeArea"});
        ASSERT_TRUE(copy.waitForFinished(30000));
        const QString out = QString::fromUtf8(copy.readAllStandardOutput());
        EXPECT_EQ(copy.exitCode(), 0) << out.toStdString();
        EXPECT_TRUE(out.contains("[  PASSED  ] 1 test.")) << out.toStdString();
    }
}

// What opens from the keyboard alone: the window's menu by its two keys, wherever the focus is,
// and the entries that once had only the mouse.
TEST(WindowKeys, MenuKeysOpenTheWindowsOwnMenuAndEveryEntryHasKeys)
{
    ShippedSkin temp;
    RecordingWindow window(temp.overrides);
    started(window);
    window.forward = true;
    const struct {
        QKeyCombination keys;
        QString opens; // a popup's title ("menu" for the window's), or a modal window's
    } cases[] = {
        {Qt::Key_Menu, "menu"},
        {Qt::SHIFT | Qt::Key_F10, "menu"},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Y, "지난 해 오늘"},
        {Qt::Key_F1, "Pagelet 정보"},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_E, "내보내기"},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_I, "가져오기"},
    };
    for (const bool fromCalendar : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.opens.toStdString() + (fromCalendar ? " from the calendar" : " from the page"));
            QApplication::setActiveWindow(&window);
            if (fromCalendar && !window.dialog().calendar().visible())
                press(&window.editControl(), Qt::CTRL | Qt::Key_D);
            QWidget* from = fromCalendar ? window.calendar().dayTable() : &window.editControl();
            from->setFocus();
            QString modal;
            QTimer::singleShot(0, &window, [&modal] {
                if (QWidget* m = QApplication::activeModalWidget()) {
                    modal = m->windowTitle();
                    m->close();
                }
            });
            press(from, c.keys);
            QApplication::processEvents();
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            EXPECT_EQ(popup == &window.menu().menu() ? "menu" : popup ? popup->title() : modal, c.opens);
            if (popup)
                popup->close();
        }
    }
}

// A syllable still being composed when a command comes belongs to the page it was typed on.
TEST(WindowInputMethod, EveryKindOfCommandTakesTheComposedSyllableOntoItsPageFirst)
{
    auto click = [](RecordingWindow& w, int command) {
        const QRect r = w.zoom().scaled(w.dialog().skin().findElement(command)->rect);
        QTest::mouseClick(&w, Qt::LeftButton, {}, r.center());
    };
    auto stored = [](RecordingWindow& w, const LocalDate& d) {
        Page page;
        w.dialog().pages().readInto(d, page);
        return page.text;
    };
    const struct {
        const char* what;
        std::function<void(RecordingWindow&)> act;
        bool movesOn; // to another day: the syllable is in the page stored for the day left
    } cases[] = {
        {"the next day's button", [&](RecordingWindow& w) { click(w, CMD_NEXT_DAY); }, true},
        {"the time stamp's button", [&](RecordingWindow& w) { click(w, CMD_TIMESTAMP); }, false},
        {"the time stamp's key", [](RecordingWindow& w) { press(&w.editControl(), Qt::CTRL | Qt::Key_T); }, false},
        {"a day on the calendar",
         [](RecordingWindow& w) { emit w.calendar().clicked(QDate::currentDate().addDays(-1)); }, true},
        {"the menu", [](RecordingWindow& w) {
             QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(5, 5), w.mapToGlobal(QPoint(5, 5)));
             QApplication::sendEvent(&w, &right);
             w.menu().menu().close();
         }, false},
        {"the close", [](RecordingWindow& w) { w.close(); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ShippedSkin temp;
        RecordingWindow window(temp.overrides);
        started(window);
        window.forward = true;
        const LocalDate typedOn = localDate(window.dialog().day().selectedDay());
        if (std::string(c.what) == "a day on the calendar")
            press(&window.editControl(), Qt::CTRL | Qt::Key_D);
        QInputMethodEvent typed;
        typed.setCommitString(QStringLiteral("안"));
        QApplication::sendEvent(&window.editControl(), &typed);
        QInputMethodEvent composing(QStringLiteral("녕"), {});
        QApplication::sendEvent(&window.editControl(), &composing);
        ASSERT_EQ(window.editControl().composition().text, u"녕");
        c.act(window);
        const std::u16string page = c.movesOn ? stored(window, typedOn) : window.dialog().editor().text.get();
        EXPECT_EQ(page.substr(0, 2), u"안녕");
        EXPECT_TRUE(window.editControl().composition().text.empty());
        if (c.movesOn) {
            EXPECT_NE(localDate(window.dialog().day().selectedDay()), typedOn);
        }
    }
}
