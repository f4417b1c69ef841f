#include "base/Day.h"
#include "fakes/Fakes.h"
#include "qt/PageletWindow.h"
#include "settings/ConfigFile.h"
#include "qt/DialogTemplate.h"
#include "qt/QtDialog.h"
#include "qt/QtDialogs.h"
#include "qt/QtGraphics.h"
#include "settings/NewPasswordDialog.h"
#include "settings/PasswordDialog.h"
#include "ui/SettingsDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pagelet;
using namespace pagelet::fakes;

namespace {

using S = SettingsDialog;

// Acts on the modal dialog once its run has started.
void whenModal(std::function<void(QtDialog&)> act)
{
    QTimer::singleShot(0, [act] {
        if (auto* dialog = qobject_cast<QtDialog*>(QApplication::activeModalWidget()))
            act(*dialog);
        else
            ADD_FAILURE() << "no dialog is running";
    });
}

void click(QtDialog& d, int id) { qobject_cast<QAbstractButton*>(d.control(id))->click(); }
QLineEdit* edit(QtDialog& d, int id) { return qobject_cast<QLineEdit*>(d.control(id)); }
QComboBox* list(QtDialog& d, int id) { return qobject_cast<QComboBox*>(d.control(id)); }

// Ids of the controls in the order the tab key visits them.
std::vector<int> tabOrder(QtDialog& d, const std::vector<int>& ids)
{
    std::vector<int> order;
    QWidget* w = d.control(ids.front());
    do {
        for (int id : ids)
            if (d.control(id) == w && (w->focusPolicy() & Qt::TabFocus))
                order.push_back(id);
        w = w->nextInFocusChain();
    } while (w && w != d.control(ids.front()));
    return order;
}

} // namespace

TEST(Dialogs, TemplatesGiveCaptionsTextsPlacesTabOrderAndMaskedLimitedInput)
{
    FakeMessageBox messages;
    FakeClock clock;
    FakeDialogs dialogs;
    PasswordDialog password(u"", 3, messages);
    NewPasswordDialog newPassword(messages);
    SettingsDialog settings(messages, clock, dialogs);
    struct Case {
        const DialogTemplate& layout;
        DialogHandler& handler;
        QString caption;
        std::vector<int> tabIds;
        QStringList labels;
        QRect okPixels;
    };
    const std::vector<Case> cases = {
        {passwordTemplate(), password, "비밀번호 입력", {PasswordDialog::kPasswordEdit, kIdOk, kIdCancel},
         {"패스워드를 입력하세요.\n3번 이상 틀리면\n프로그램이 종료됩니다."}, QRect(56, 148, 63, 21)},
        {newPasswordTemplate(), newPassword, "새 비밀번호 입력",
         {NewPasswordDialog::kPasswordEdit, NewPasswordDialog::kConfirmEdit, kIdOk, kIdCancel},
         {"새로운 패스워드를 입력하세요.", "패스워드", "확      인"}, QRect(71, 142, 63, 22)},
        {settingsTemplate(), settings, "환경 설정",
         {kIdOk, kIdCancel, S::kUsePasswordCheck, S::kSetPasswordButton, S::kSkinList, S::kAutoKeyboardCheck,
          S::kTimeFormatList, S::kDataPathEdit},
         {"스킨 선택", "시간 표시", "데이터"}, QRect(73, 155, 63, 21)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption.toStdString());
        QtDialog d(c.layout, c.handler);
        c.handler.OnInitDialog(d);
        EXPECT_EQ(d.windowTitle(), c.caption);
        EXPECT_EQ(d.size(), QSize(240, 270));
        EXPECT_EQ(tabOrder(d, c.tabIds), c.tabIds);
        QStringList labels;
        for (auto* label : d.findChildren<QLabel*>())
            labels << label->text();
        for (const auto& want : c.labels)
            EXPECT_TRUE(labels.contains(want)) << want.toStdString();
        auto* ok = qobject_cast<QPushButton*>(d.control(kIdOk));
        EXPECT_EQ(ok->text(), "확  인");
        EXPECT_TRUE(ok->isDefault());
        EXPECT_EQ(ok->geometry(), c.okPixels);
        EXPECT_EQ(qobject_cast<QPushButton*>(d.control(kIdCancel))->text(), "취  소");
        for (auto* e : d.findChildren<QLineEdit*>()) {
            if (e == d.control(S::kDataPathEdit))
                continue;
            EXPECT_EQ(e->echoMode(), QLineEdit::Password);
            e->insert(QString(25, 'x')); // as typing does
            EXPECT_EQ(e->text().size(), 20);
        }
    }
}

TEST(Dialogs, SettingsDialogForwardsEveryControlToItsLogic)
{
    QTemporaryDir install;
    const QString root = QDir(install.path()).absolutePath();
    for (const char* folder : {"skin/default", "skin/Blue", "skin/Wood", "diary"})
        QDir().mkpath(root + "/" + folder);
    FakeMessageBox messages;
    FakeClock clock;
    clock.value = fromLocal({2026, 12, 7}, 13, 30, 0);
    QtDialogs dialogs;
    SettingsDialog settings(messages, clock, dialogs);
    settings.programPath = fromQString(root) + u"/";
    settings.skinName = u"default";
    settings.dataPath = fromQString(root) + u"/diary/";
    settings.timeFormat = 9;

    whenModal([&](QtDialog& d) {
        QComboBox* skins = list(d, S::kSkinList);
        QComboBox* times = list(d, S::kTimeFormatList);
        EXPECT_EQ(skins->count(), 3);
        EXPECT_EQ(skins->currentText(), "DEFAULT");
        EXPECT_EQ(times->itemText(4), "P.M. 01 : 30 : 00  ");
        EXPECT_EQ(times->currentIndex(), -1); // style 9 is none of the list's

        QWidget* setButton = d.control(S::kSetPasswordButton);
        EXPECT_FALSE(setButton->isEnabled());
        click(d, S::kUsePasswordCheck);
        EXPECT_TRUE(setButton->isEnabled());
        whenModal([&](QtDialog& inner) { // the new password dialog, on top
            edit(inner, NewPasswordDialog::kPasswordEdit)->setText("새 암호");
            edit(inner, NewPasswordDialog::kConfirmEdit)->setText("새 암호");
            click(inner, kIdOk);
        });
        click(d, S::kSetPasswordButton);

        times->setCurrentIndex(2);
        skins->setCurrentIndex(skins->findText("WOOD"));
        edit(d, S::kDataPathEdit)->setText(root + "/nowhere");
        click(d, kIdOk);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(messages.shown.size(), 1u);
        edit(d, S::kDataPathEdit)->setText(root + "/diary");
        click(d, kIdOk);
    });
    ASSERT_TRUE(dialogs.runSettings(settings));
    EXPECT_EQ(settings.usePassword, 1);
    EXPECT_EQ(settings.password, u"새 암호");
    EXPECT_EQ(settings.skinName, u"WOOD");
    EXPECT_EQ(settings.timeFormat, 2);
    EXPECT_EQ(settings.dataPath, fromQString(root) + u"/diary");
}

TEST(Dialogs, StartUpGateInTheRealWindowTakesThreeTries)
{
    const std::u16string mismatch = u"암호가 일치하지 않습니다.\n다시 입력하세요.";
    const std::u16string closing = u"프로그램을 종료합니다.";
    struct Case {
        const char* name;
        QStringList entries; // each confirmed with OK; "<Esc>" presses Escape
        bool wantStarted;
        std::vector<std::u16string> wantMessages;
    };
    const std::vector<Case> cases = {
        {"three wrong entries end the program", {"secret", "SECRET", "Secre"}, false, {mismatch, mismatch, closing}},
        {"right at the second try", {"x", "Secret"}, true, {mismatch}},
        {"Escape shows no mismatch message", {"<Esc>"}, false, {closing}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A private settings store and an install whose diary is locked.
        QTemporaryDir config, install;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
        const QString root = QDir(install.path()).absolutePath();
        QDir().mkpath(root + "/skin/default");
        Settings locked;
        locked.usePassword = 1;
        locked.password = u"Secret";
        ASSERT_TRUE(writeConfig(fromQString(root + "/config.dat"), locked));
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tarnwick", "Pagelet").setValue("Program Path", root);

        FakeMessageBox messages;
        FakeExit exit;
        WindowOverrides overrides;
        overrides.messages = &messages;
        overrides.exit = &exit;
        PageletWindow window(overrides);
        whenModal([&](QtDialog& d) {
            for (const auto& entry : c.entries) {
                ASSERT_TRUE(d.isVisible());
                if (entry == "<Esc>") {
                    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                    QApplication::sendEvent(&d, &escape);
                    continue;
                }
                edit(d, PasswordDialog::kPasswordEdit)->setText(entry);
                click(d, kIdOk);
            }
        });
        EXPECT_EQ(window.start(), c.wantStarted);
        std::vector<std::u16string> shown;
        for (const auto& m : messages.shown)
            shown.push_back(m.text);
        EXPECT_EQ(shown, c.wantMessages);
        EXPECT_EQ(exit.status, c.wantStarted ? -1 : 0);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QDir::homePath() + "/.config");
    }
}
