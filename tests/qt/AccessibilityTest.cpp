// What a screen reader gets of the real widgets, offscreen: the drawn buttons, the date and the
// weather, the calendar's days and the dialogs' fields, and the presses it can make.
#include "Rig.h"
#include "diary/FindDialog.h"
#include "platform/Commands.h"
#include "qt/dialogs/QtMonthCalendar.h"
#include "qt/editor/QtEditControl.h"
#include "qt/graphics/Zoom.h"
#include "qt/recorder/RecorderWindow.h"
#include "qt/search/SearchWindow.h"
#include "settings/NewPasswordDialog.h"
#include "settings/PasswordDialog.h"
#include "settings/RecoveryKeyDialog.h"
#include "store/PageFormat.h"
#include "store/PlainPageStore.h"
#include "ui/SettingsDialog.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QTemporaryDir>
#include <QPushButton>
#include <QToolButton>
#include <filesystem>
#include <gtest/gtest.h>

using namespace pagelet;

namespace {

struct Sent {
    int command;
    std::intptr_t wParam, lParam;
    bool operator==(const Sent&) const = default;
};

// Records what the buttons send, and passes it on.
class RecordingWindow : public PageletWindow {
public:
    using PageletWindow::PageletWindow;
    int sendCommand(int command, std::intptr_t wParam, std::intptr_t lParam) override
    {
        sent.push_back({command, wParam, lParam});
        return PageletWindow::sendCommand(command, wParam, lParam);
    }
    std::vector<Sent> sent;
};

struct ShippedSkin : qttest::TempInstall {
    ShippedSkin()
    {
        install(Settings());
        std::filesystem::copy(PAGELET_RES_DIR "/skins/default", toUtf8(fromQString(root)) + "/skin/default",
                              std::filesystem::copy_options::overwrite_existing | std::filesystem::copy_options::recursive);
    }
};

std::vector<QAccessibleInterface*> childrenOf(QAccessibleInterface* parent, QAccessible::Role role)
{
    std::vector<QAccessibleInterface*> found;
    for (int i = 0; parent && i < parent->childCount(); ++i)
        if (QAccessibleInterface* c = parent->child(i); c && c->role() == role)
            found.push_back(c);
    return found;
}

QString nameOf(QObject* object)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("(none)");
}

void pressOver(QAccessibleInterface* iface)
{
    ASSERT_TRUE(iface->actionInterface());
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents(); // the press is posted
}

// Written out here rather than by the program's own words.
QString koreanDay(const QDate& d)
{
    return QStringLiteral("%1년 %2월 %3일 %4요일").arg(d.year()).arg(d.month()).arg(d.day()).arg(QStringLiteral("월화수목금토일")[d.dayOfWeek() - 1]);
}

// The program's Korean: names of days and months as a Korean desktop has them, whatever this one's.
struct KoreanLocale {
    KoreanLocale() { QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea)); }
    ~KoreanLocale() { QLocale::setDefault(previous); }
    QLocale previous;
};

struct NoLogic : DialogHandler {
    bool OnInitDialog(DialogView&) override { return true; }
    void OnOK(DialogView&) override {}
    void OnCommand(DialogView&, int id) override { commands.push_back(id); }
    std::vector<int> commands;
};

} // namespace

TEST(Accessibility, DrawnButtonsAreNamedKeyedAndPressedAsAClick)
{
    const KoreanLocale korean;
    ShippedSkin temp;
    RecordingWindow window(temp.overrides);
    ASSERT_TRUE(window.start());
    window.show();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&window);
    ASSERT_TRUE(iface);
    EXPECT_EQ(window.windowTitle(), "Pagelet");
    const QDate today = QDate::currentDate(), tomorrow = today.addDays(1);
    EXPECT_EQ(iface->text(QAccessible::Name), "Pagelet - " + koreanDay(today));
    EXPECT_EQ(nameOf(&window.editControl()), koreanDay(today) + "의 일기");

    // A new day is being written: save instead of edit, delete greyed.
    const struct {
        int command;
        const char* name;
        const char* key;
        bool enabled;
    } kButtons[] = {
        {CMD_PREV_DAY, "이전 날", "Ctrl+PgUp", true},   {CMD_NEXT_DAY, "다음 날", "Ctrl+PgDown", true},
        {CMD_TODAY, "오늘", "Alt+Home", true},           {CMD_CALENDAR, "달력", "Ctrl+D", true},
        {CMD_SAVE, "저장", "Ctrl+S", true},              {CMD_WEATHER, "날씨", "Ctrl+Shift+W", true},
        {CMD_TIMESTAMP, "시간 넣기", "Ctrl+T", true},    {CMD_FIND, "찾기", "Ctrl+F", true},
        {CMD_VOICE, "음성 메모", "Ctrl+M", true},        {CMD_DELETE, "이 날 지우기", "Ctrl+Shift+Del", false},
        {CMD_SETTINGS, "설정", "Ctrl+,", true},
    };
    const auto buttons = childrenOf(iface, QAccessible::PushButton);
    const Skin& skin = window.dialog().skin();
    ASSERT_EQ(buttons.size(), skin.elements.size());
    for (const auto& b : kButtons) {
        const SkinElement* e = skin.findElement(b.command);
        ASSERT_TRUE(e) << b.name;
        QAccessibleInterface* button = nullptr;
        for (QAccessibleInterface* each : buttons)
            if (each->text(QAccessible::Name) == QString::fromUtf8(b.name))
                button = each;
        ASSERT_TRUE(button) << b.name;
        EXPECT_EQ(button->text(QAccessible::Accelerator), b.key) << b.name;
        EXPECT_EQ(button->state().disabled, !b.enabled) << b.name;
        EXPECT_EQ(button->rect(), QRect(window.mapToGlobal(QPoint(e->rect.left, e->rect.top)),
                                        QSize(e->rect.width(), e->rect.height())))
            << b.name;
        EXPECT_EQ(iface->childAt(button->rect().center().x(), button->rect().center().y()), button) << b.name;
    }

    // Pressed over the screen reader: the command a click sends, or nothing when greyed.
    for (const char* name : {"이 날 지우기", "다음 날"}) {
        window.sent.clear();
        for (QAccessibleInterface* each : childrenOf(iface, QAccessible::PushButton))
            if (each->text(QAccessible::Name) == QString::fromUtf8(name))
                pressOver(each);
        const SkinElement* e = skin.findElement(name == std::string("다음 날") ? CMD_NEXT_DAY : CMD_DELETE);
        const std::vector<Sent> want = e->enabled ? std::vector<Sent> {{e->command, e->wParam, e->lParam}} : std::vector<Sent> {};
        EXPECT_EQ(window.sent, want) << name;
    }
    EXPECT_EQ(iface->text(QAccessible::Name), "Pagelet - " + koreanDay(tomorrow));
    EXPECT_EQ(nameOf(&window.editControl()), koreanDay(tomorrow) + "의 일기");
    const auto labels = childrenOf(iface, QAccessible::StaticText);
    QStringList said;
    for (QAccessibleInterface* l : labels)
        said << l->text(QAccessible::Name);
    EXPECT_EQ(said, (QStringList {koreanDay(tomorrow), "날씨: 맑음"}));

    // Saved: the button reads edit; a skin without buttons leaves only the date.
    for (QAccessibleInterface* each : childrenOf(iface, QAccessible::PushButton))
        if (each->text(QAccessible::Name) == "시간 넣기")
            pressOver(each);
    for (QAccessibleInterface* each : childrenOf(iface, QAccessible::PushButton))
        if (each->text(QAccessible::Name) == "저장")
            pressOver(each);
    EXPECT_TRUE(QFile::exists(temp.root + tomorrow.toString("'/diary/'yyyyMMdd'.dry'")));
    QStringList names;
    for (QAccessibleInterface* each : childrenOf(iface, QAccessible::PushButton))
        names << each->text(QAccessible::Name);
    EXPECT_TRUE(names.contains("편집") && !names.contains("저장")) << names.join(",").toStdString();
    window.dialog().skin().DeleteSkinElements();
    EXPECT_TRUE(childrenOf(iface, QAccessible::PushButton).empty());
    EXPECT_EQ(childrenOf(iface, QAccessible::StaticText).size(), 1u);
}

TEST(Accessibility, CalendarDaysSayTheirDateAndMarkAndPressAsAClick)
{
    const KoreanLocale korean;
    const Zoom zoom;
    // The window's calendar marks the days with a page; the find dialog's, the days found.
    for (const QString& mark : {QStringLiteral("일기 있음"), QStringLiteral("찾은 날")}) {
        QtMonthCalendar cal(nullptr, zoom);
        if (mark != "일기 있음")
            cal.setMarkWords(mark);
        cal.setSelection(fromLocal({2026, 12, 9}));
        // From November 29th: November's 30th and December's 10th are marked.
        cal.setDayStates({1u << 29, 1u << 9, 0});
        cal.QCalendarWidget::show();
        std::vector<LocalDate> picked, moved;
        cal.dayPicked = [&picked](const LocalDate& d) { picked.push_back(d); };
        cal.selectionMoved = [&moved](const LocalDate& d) { moved.push_back(d); };
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(cal.dayTable());
        ASSERT_TRUE(table);
        ASSERT_EQ(table->childCount(), 42);
        const struct {
            int cell;
            QDate date;
            bool marked;
        } kDays[] = {{0, {2026, 11, 29}, false}, {1, {2026, 11, 30}, true}, {10, {2026, 12, 9}, false},
                     {11, {2026, 12, 10}, true}, {41, {2027, 1, 9}, false}};
        for (const auto& d : kDays) {
            QAccessibleInterface* cell = table->child(d.cell);
            ASSERT_TRUE(cell);
            EXPECT_EQ(cell->role(), QAccessible::Cell);
            EXPECT_EQ(cell->text(QAccessible::Name), koreanDay(d.date) + (d.marked ? ", " + mark : QString()));
            EXPECT_EQ(cell->state().selected, d.date == QDate(2026, 12, 9)) << d.cell;
            EXPECT_EQ(table->childAt(cell->rect().center().x(), cell->rect().center().y()), cell) << d.cell;
        }
        // Pressed over the screen reader: selected and picked, as a click does; another
        // month's day turns the page.
        pressOver(table->child(11));
        pressOver(table->child(41));
        EXPECT_EQ(picked, (std::vector<LocalDate> {{2026, 12, 10}, {2027, 1, 9}}));
        EXPECT_EQ(moved, (std::vector<LocalDate> {{2026, 12, 10}, {2027, 1, 9}}));
        EXPECT_EQ(cal.monthShown(), 1);
    }
}

TEST(Accessibility, EveryFieldAndPictureButtonHasAName)
{
    const Zoom zoom;
    NoLogic logic;
    const struct {
        int dialog, field;
        const char* name;
    } kFields[] = {
        {PasswordDialog::kTemplateId, PasswordDialog::kPasswordEdit, "패스워드를 입력하세요.\n3번 이상 틀리면\n프로그램이 종료됩니다."},
        {SettingsDialog::kTemplateId, SettingsDialog::kDataPathEdit, "데이터"},
        {SettingsDialog::kTemplateId, SettingsDialog::kBackupPathEdit, "백업 폴더"},
        {SettingsDialog::kTemplateId, SettingsDialog::kSkinList, "스킨 선택"},
        {SettingsDialog::kTemplateId, SettingsDialog::kTimeFormatList, "시간 표시"},
        {NewPasswordDialog::kTemplateId, NewPasswordDialog::kPasswordEdit, "패스워드"},
        {NewPasswordDialog::kTemplateId, NewPasswordDialog::kConfirmEdit, "확      인"},
        {FindDialog::kTemplateId, FindDialog::kWordEdit, "찾는 단어"},
        {RecoveryKeyDialog::kTemplateId, RecoveryKeyDialog::kKeyText,
         "복구 키를 적어서 컴퓨터와\n따로 보관하세요. 비밀번호를\n잊으면 이 키로만 열 수 있고,\n다시 보여 주지 않습니다."},
    };
    for (const auto& f : kFields) {
        QtDialog dialog(*dialogTemplate(f.dialog), logic, zoom);
        EXPECT_EQ(nameOf(dialog.control(f.field)), QString::fromUtf8(f.name)) << f.dialog << "/" << f.field;
    }
    // Every template's fields: none is left without a name.
    for (int id : {PasswordDialog::kTemplateId, SettingsDialog::kTemplateId, NewPasswordDialog::kTemplateId, FindDialog::kTemplateId,
                   RecoveryKeyDialog::kTemplateId}) {
        QtDialog dialog(*dialogTemplate(id), logic, zoom);
        for (const ControlTemplate& c : dialogTemplate(id)->controls)
            if (c.kind == ControlKind::Edit || c.kind == ControlKind::PasswordEdit || c.kind == ControlKind::DropDownList)
                EXPECT_FALSE(nameOf(dialog.control(c.id)).isEmpty()) << id << "/" << c.id;
    }

    // Buttons that are only pictures: the calendar's month arrows and the recorder's.
    QtMonthCalendar cal(nullptr, zoom);
    EXPECT_EQ(nameOf(cal.findChild<QToolButton*>("qt_calendar_prevmonth")), "이전 달");
    EXPECT_EQ(nameOf(cal.findChild<QToolButton*>("qt_calendar_nextmonth")), "다음 달");
    fakes::FakeMessageBox messages;
    PlainPageStore store(u"/nonexistent/");
    RecorderWindow recorder(nullptr, store, {2026, 12, 9}, messages, [](int) {}, zoom);
    QStringList buttons;
    for (QPushButton* b : recorder.findChildren<QPushButton*>())
        buttons << nameOf(b);
    EXPECT_EQ(buttons, (QStringList {"녹음", "정지", "재생", "확인", "취소"}));
}

TEST(Accessibility, SearchRowsReadTheirDateAndLine)
{
    QTemporaryDir dir;
    for (const auto& [name, text] : {std::pair {"20261207", u"오늘\r\n사과 파이와 일기"}, {"20250701", u"사과 한 알"}}) {
        QFile file(dir.path() + "/" + name + ".dry");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const Bytes bytes = encodePage({1, text});
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    SearchWindow window(nullptr, dir.path().toStdU16String() + u"/", [](const LocalDate&) { return true; });
    window.show();
    bool finished = false;
    QObject::connect(&window, &SearchWindow::searchFinished, [&finished] { finished = true; });
    QInputMethodEvent typed;
    typed.setCommitString("사과");
    window.wordBox().setFocus();
    QApplication::sendEvent(&window.wordBox(), &typed);
    QElapsedTimer timer;
    timer.start();
    while (!finished && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(finished);
    EXPECT_EQ(nameOf(&window.wordBox()), "찾는 단어");
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&window.results());
    ASSERT_TRUE(list);
    QStringList rows;
    for (int i = 0; i < list->childCount(); ++i)
        rows << list->child(i)->text(QAccessible::Name);
    EXPECT_EQ(rows, (QStringList {"2026년 12월 7일 (월) 사과 파이와 일기", "2025년 7월 1일 (화) 사과 한 알"}));
}

TEST(Accessibility, ACheckBoxToggledByAScreenReaderTellsTheLogicAsAClickDoes)
{
    const Zoom zoom;
    NoLogic logic;
    QtDialog dialog(*dialogTemplate(SettingsDialog::kTemplateId), logic, zoom);
    QWidget* box = dialog.control(SettingsDialog::kUsePasswordCheck);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
    ASSERT_TRUE(iface && iface->actionInterface());
    iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(dialog.isChecked(SettingsDialog::kUsePasswordCheck));
    qobject_cast<QAbstractButton*>(box)->click();
    dialog.setChecked(SettingsDialog::kUsePasswordCheck, true); // the logic's own: not told back
    EXPECT_EQ(logic.commands, (std::vector<int> {SettingsDialog::kUsePasswordCheck, SettingsDialog::kUsePasswordCheck}));
}
