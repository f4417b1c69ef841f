// The find dialog built from its template, offscreen, on the real widgets and page files.
#include "Rig.h"
#include "app/PanelKeyboard.h"
#include "diary/DiaryRange.h"
#include "store/DayKey.h"
#include "diary/DayMarks.h"
#include "diary/FindDialog.h"
#include "store/PlainPageStore.h"
#include "platform/Commands.h"
#include "qt/dialogs/PressAndHold.h"
#include "qt/ports/QtCaseFolding.h"
#include "qt/editor/QtEditControl.h"
#include "qt/dialogs/QtMonthCalendar.h"
#include "qt/graphics/Zoom.h"

#include <QAbstractItemView>
#include <QEventLoop>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <fstream>
#include <gtest/gtest.h>

using namespace pagelet;
using namespace pagelet::qttest;
using F = FindDialog;

namespace {

void putPage(const QString& folder, const QDate& date, const std::u16string& text)
{
    const Bytes bytes = encodePage({0, text});
    std::ofstream(toUtf8(fromQString(folder) + u"/" + makeDateKey(toLocalDate(date)) + kPageExtension), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void mouse(QWidget* w, QEvent::Type type)
{
    const QPoint at = w->rect().center();
    QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

QPlainTextEdit* resultBox(QtDialog& d) { return qobject_cast<QPlainTextEdit*>(d.control(F::kResultEdit)); }

// A day of this month other than today: the calendar opens on today's month.
QDate otherDay()
{
    const QDate today = QDate::currentDate();
    return QDate(today.year(), today.month(), today.day() == 1 ? 2 : 1);
}

struct DialogRig {
    DialogRig() : keyboard(panel), logic(store, messages, folding, keyboard), dialog(*dialogTemplate(F::kTemplateId), logic, zoom)
    {
        logic.OnInitDialog(dialog);
    }
    QTemporaryDir folder;
    Zoom zoom;
    PlainPageStore store {fromQString(folder.path()) + u"/"};
    fakes::FakeMessageBox messages;
    fakes::FakeSoftInput panel;
    PanelKeyboard keyboard;
    QtCaseFolding folding;
    FindDialog logic;
    QtDialog dialog;
};

} // namespace

TEST(FindWindow, ControlsSitWhereTheTemplatePutsThemInTabOrder)
{
    DialogRig rig;
    QtDialog& d = rig.dialog;
    EXPECT_EQ(d.windowTitle(), "찾기");
    EXPECT_EQ(d.size(), QSize(240, 270));
    const std::pair<int, QRect> places[] = {
        {F::kWordEdit, {5, 24, 103, 21}},   {F::kMatchCaseCheck, {5, 51, 100, 16}}, {F::kFindButton, {5, 72, 103, 21}},
        {F::kOkButton, {5, 98, 49, 22}},    {kIdCancel, {59, 98, 49, 22}},          {F::kFindNextButton, {5, 125, 103, 19}},
        {F::kCalendar, {113, 7, 123, 137}}, {F::kResultEdit, {5, 151, 231, 115}},
    };
    std::vector<int> tabOrder;
    // The calendar is reached through its day table.
    for (QWidget* w = d.control(F::kWordEdit); tabOrder.size() < 9; w = w->nextInFocusChain())
        for (const auto& [id, rect] : places)
            if ((d.control(id) == w || d.control(id)->isAncestorOf(w)) && (w->focusPolicy() & Qt::TabFocus))
                tabOrder.push_back(id);
    for (const auto& [id, rect] : places)
        EXPECT_EQ(d.control(id)->geometry(), rect) << id;
    EXPECT_EQ(tabOrder, (std::vector<int> {F::kWordEdit, F::kMatchCaseCheck, F::kFindButton, F::kFindNextButton,
                                           F::kCalendar, F::kResultEdit, F::kOkButton, kIdCancel, F::kWordEdit}));
    EXPECT_TRUE(qobject_cast<QPushButton*>(d.control(F::kOkButton))->isDefault());
    EXPECT_TRUE(resultBox(d)->isReadOnly());
    EXPECT_EQ(resultBox(d)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(d.control(F::kCalendar)->isHidden());
    EXPECT_EQ(mainMonthOf(d.calendar(F::kCalendar)->displayedRange()).first.month, QDate::currentDate().month());
}

TEST(FindWindow, TheMatchIsSelectedAndScrolledIntoViewOnALongPage)
{
    DialogRig rig;
    std::u16string page;
    for (int i = 0; i < 120; ++i)
        page += u"줄 " + fromAscii(std::to_string(i)) + (i == 90 ? u" ПРИВЕТ, мир" : u"") + u"\r\n";
    putPage(rig.folder.path(), otherDay(), page);
    rig.dialog.show();
    QApplication::setActiveWindow(&rig.dialog);
    edit(rig.dialog, F::kWordEdit)->setText("привет");
    click(rig.dialog, F::kFindButton);

    QPlainTextEdit* box = resultBox(rig.dialog);
    EXPECT_EQ(box->textCursor().selectedText(), "ПРИВЕТ");
    EXPECT_TRUE(box->hasFocus());
    EXPECT_GT(box->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(box->viewport()->rect().contains(box->cursorRect()));
    // The day found is bold on the dialog's calendar.
    auto* calendar = qobject_cast<QtMonthCalendar*>(rig.dialog.control(F::kCalendar));
    EXPECT_EQ(calendar->dateTextFormat(otherDay()).fontWeight(), QFont::Bold);
    EXPECT_EQ(calendar->selectedDate(), otherDay());
}

// Today's page written, then the dialog run from the window and closed one way or another.
TEST(FindWindow, OkAndAHeldResultBoxJumpAfterStoringTodayEscapeAndTheCloseButtonDoNot)
{
    const struct {
        const char* name;
        std::function<void(QtDialog&)> close;
        bool wantJump;
    } cases[] = {
        {"확  인", [](QtDialog& d) { click(d, F::kOkButton); }, true},
        {"held still", [](QtDialog& d) {
             mouse(resultBox(d)->viewport(), QEvent::MouseButtonPress);
             wait(PressAndHold::kHoldMs + 150);
             mouse(resultBox(d)->viewport(), QEvent::MouseButtonRelease);
         }, true},
         {"let go early, then Escape", [](QtDialog& d) {
             mouse(resultBox(d)->viewport(), QEvent::MouseButtonPress);
             wait(PressAndHold::kHoldMs / 3);
             mouse(resultBox(d)->viewport(), QEvent::MouseButtonRelease);
             wait(PressAndHold::kHoldMs);
             ASSERT_TRUE(d.isVisible());
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(&d, &escape);
         }, false},
        {"the close button", [](QtDialog& d) { d.close(); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempInstall temp;
        temp.install(Settings {});
        putPage(temp.root + "/diary", otherDay(), u"an apple a day");
        PageletWindow window(temp.overrides);
        ASSERT_TRUE(window.start());
        window.show();
        QInputMethodEvent typing;
        typing.setCommitString(QStringLiteral("오늘의 글"));
        QApplication::sendEvent(&window.editControl(), &typing);

        whenModal([&c](QtDialog& d) {
            edit(d, F::kWordEdit)->setText("Apple");
            click(d, F::kFindButton);
            ASSERT_EQ(resultBox(d)->toPlainText(), "an apple a day");
            c.close(d);
            if (d.isVisible()) {
                ADD_FAILURE() << "still open";
                d.done(QDialog::Rejected);
            }
        });
        window.sendCommand(CMD_FIND, 0, 0);

        const QDate shown = QDate::currentDate();
        EXPECT_EQ(window.dialog().day().selectedDay(), fromLocal(toLocalDate(c.wantJump ? otherDay() : shown)));
        EXPECT_EQ(window.dialog().editor().text, c.wantJump ? u"an apple a day" : u"오늘의 글");
        const auto today = PlainPageStore(fromQString(temp.root) + u"/diary/").read(toLocalDate(shown));
        EXPECT_EQ(today.state == PageFileState::Readable && today.page.text == u"오늘의 글", c.wantJump);
        EXPECT_TRUE(temp.messages.shown.empty());
    }
}
