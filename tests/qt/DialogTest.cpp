#include "base/Day.h"
#include "base/Text.h"
#include "fakes/Fakes.h"
#include "qt/DialogTemplate.h"
#include "qt/QtDialog.h"
#include "qt/QtDialogs.h"
#include "qt/QtGraphics.h"
#include "settings/NewPasswordDialog.h"
#include "settings/PasswordDialog.h"
#include "ui/SettingsDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace pagelet;
using namespace pagelet::fakes;

namespace {

using S = SettingsDialog;

// Acts on the modal dialog once its run has started.
void whenModal(std::function<void(QtDialog&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QtDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no dialog is running";
            return;
        }
        act(*dialog);
    });
}

QLineEdit* edit(QtDialog& d, int id) { return qobject_cast<QLineEdit*>(d.control(id)); }
QComboBox* list(QtDialog& d, int id) { return qobject_cast<QComboBox*>(d.control(id)); }

void click(QtDialog& d, int id)
{
    auto* button = qobject_cast<QAbstractButton*>(d.control(id));
    ASSERT_TRUE(button) << id;
    button->click();
}

void typeInto(QtDialog& d, int id, const QString& text)
{
    QLineEdit* e = edit(d, id);
    ASSERT_TRUE(e) << id;
    e->clear();
    e->insert(text); // as typing does, within the edit's limit
}

void press(QWidget* target, int key)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &down);
}

// Ids of the controls in the order the tab key visits them.
std::vector<int> tabOrder(QtDialog& d, const std::vector<int>& ids)
{
    QWidget* first = d.control(ids.front());
    std::vector<int> order;
    QWidget* w = first;
    do {
        for (int id : ids)
            if (d.control(id) == w && (w->focusPolicy() & Qt::TabFocus))
                order.push_back(id);
        w = w->nextInFocusChain();
    } while (w && w != first);
    return order;
}

std::vector<QString> labelTexts(QtDialog& d)
{
    std::vector<QString> texts;
    for (auto* label : d.findChildren<QLabel*>())
        if (!label->text().isEmpty())
            texts.push_back(label->text());
    return texts;
}

} // namespace

TEST(Dialogs, TemplatesGiveCaptionsTextsPlacesAndTabOrder)
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
        std::vector<QString> labels;
        int okId;
        QRect okPixels; // the OK button, in pixels
    };
    const std::vector<Case> cases = {
        {passwordTemplate(), password, "비밀번호 입력", {PasswordDialog::kPasswordEdit, kIdOk, kIdCancel},
         {"패스워드를 입력하세요.\n3번 이상 틀리면\n프로그램이 종료됩니다."}, kIdOk, QRect(56, 148, 63, 21)},
        {newPasswordTemplate(), newPassword, "새 비밀번호 입력",
         {NewPasswordDialog::kPasswordEdit, NewPasswordDialog::kConfirmEdit, kIdOk, kIdCancel},
         {"새로운 패스워드를 입력하세요.", "패스워드", "확      인"}, kIdOk, QRect(71, 142, 63, 22)},
        {settingsTemplate(), settings, "환경 설정",
         {kIdOk, kIdCancel, S::kUsePasswordCheck, S::kSetPasswordButton, S::kSkinList, S::kAutoKeyboardCheck,
          S::kTimeFormatList, S::kDataPathEdit},
         {"스킨 선택", "시간 표시", "데이터"}, kIdOk, QRect(73, 155, 63, 21)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption.toStdString());
        QtDialog d(c.layout, c.handler);
        EXPECT_EQ(d.windowTitle(), c.caption);
        EXPECT_EQ(d.size(), QSize(240, 270));
        EXPECT_EQ(tabOrder(d, c.tabIds), c.tabIds);
        auto labels = labelTexts(d);
        for (const auto& want : c.labels)
            EXPECT_NE(std::find(labels.begin(), labels.end(), want), labels.end()) << want.toStdString();
        auto* ok = qobject_cast<QPushButton*>(d.control(c.okId));
        ASSERT_TRUE(ok);
        EXPECT_EQ(ok->text(), "확  인");
        EXPECT_TRUE(ok->isDefault());
        EXPECT_EQ(ok->geometry(), c.okPixels);
        EXPECT_EQ(qobject_cast<QPushButton*>(d.control(kIdCancel))->text(), "취  소");
        for (auto* e : d.findChildren<QLineEdit*>())
            EXPECT_EQ(e->echoMode(), e == d.control(S::kDataPathEdit) ? QLineEdit::Normal : QLineEdit::Password);
    }
}

TEST(Dialogs, PasswordPromptOnTheRealWidgets)
{
    enum class Finish { Ok, Enter, Escape };
    struct Case {
        const char* name;
        std::vector<QString> entries;
        Finish finish; // how each entry is confirmed
        bool wantOk;
        std::size_t wantMessages;
    };
    const std::vector<Case> cases = {
        {"three wrong entries", {"a", "b", "SECRET"}, Finish::Ok, false, 2},
        {"right at the third try", {"a", "b", "Secret"}, Finish::Ok, true, 2},
        {"Enter confirms", {"Secret"}, Finish::Enter, true, 0},
        {"Escape cancels without a message", {"wrong"}, Finish::Escape, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMessageBox messages;
        PasswordDialog prompt(u"Secret", 3, messages);
        whenModal([&](QtDialog& d) {
            QLineEdit* e = edit(d, PasswordDialog::kPasswordEdit);
            ASSERT_TRUE(e);
            EXPECT_EQ(d.focusWidget(), e);
            typeInto(d, PasswordDialog::kPasswordEdit, QString(25, 'x'));
            EXPECT_EQ(e->text().size(), 20); // the edit takes no more
            for (const auto& entry : c.entries) {
                if (!d.isVisible())
                    break;
                typeInto(d, PasswordDialog::kPasswordEdit, entry);
                if (c.finish == Finish::Ok)
                    click(d, kIdOk);
                else
                    press(c.finish == Finish::Enter ? static_cast<QWidget*>(e) : &d,
                          c.finish == Finish::Enter ? Qt::Key_Return : Qt::Key_Escape);
                if (d.isVisible()) {
                    EXPECT_TRUE(e->text().isEmpty()); // a mismatch empties the edit
                    EXPECT_EQ(d.focusWidget(), e);
                }
            }
        });
        QtDialogs dialogs;
        EXPECT_EQ(dialogs.runPassword(prompt), c.wantOk);
        EXPECT_EQ(messages.shown.size(), c.wantMessages);
    }
}

TEST(Dialogs, SettingsDialogOnTheRealWidgets)
{
    QTemporaryDir install;
    const QString root = QDir(install.path()).absolutePath();
    for (const char* skin : {"default", "Blue", "Wood"})
        QDir().mkpath(root + "/skin/" + skin);
    QDir().mkpath(root + "/diary");
    QFile file(root + "/notes.txt");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    FakeMessageBox messages;
    FakeClock clock;
    clock.value = fromLocal({2026, 12, 7}, 13, 30, 0);
    QtDialogs dialogs;
    SettingsDialog settings(messages, clock, dialogs);
    settings.programPath = fromQString(root) + u"/";
    settings.skinName = u"default";
    settings.dataPath = fromQString(root) + u"/diary/";
    settings.timeFormat = 9;
    settings.password = u"old";

    whenModal([&](QtDialog& d) {
        QComboBox* skins = list(d, S::kSkinList);
        QComboBox* times = list(d, S::kTimeFormatList);
        ASSERT_TRUE(skins && times);
        QStringList names;
        for (int i = 0; i < skins->count(); ++i)
            names << skins->itemText(i);
        names.sort();
        EXPECT_EQ(names, QStringList({"BLUE", "DEFAULT", "WOOD"}));
        EXPECT_EQ(skins->currentText(), "DEFAULT");
        ASSERT_EQ(times->count(), 6);
        EXPECT_EQ(times->itemText(0), "오후 01 : 30  ");
        EXPECT_EQ(times->itemText(4), "P.M. 01 : 30 : 00  ");
        EXPECT_EQ(times->currentIndex(), -1); // style 9 is none of the list's
        EXPECT_EQ(edit(d, S::kDataPathEdit)->text(), root + "/diary/");

        QWidget* setButton = d.control(S::kSetPasswordButton);
        EXPECT_FALSE(setButton->isEnabled());
        click(d, S::kUsePasswordCheck);
        EXPECT_TRUE(setButton->isEnabled());

        // The set button runs the new password dialog on top.
        whenModal([&](QtDialog& inner) {
            EXPECT_EQ(inner.windowTitle(), "새 비밀번호 입력");
            typeInto(inner, NewPasswordDialog::kPasswordEdit, "새 암호");
            typeInto(inner, NewPasswordDialog::kConfirmEdit, "새 암호");
            click(inner, kIdOk);
        });
        click(d, S::kSetPasswordButton);
        EXPECT_EQ(settings.password, u"새 암호");

        times->setCurrentIndex(2);
        skins->setCurrentIndex(skins->findText("WOOD"));
        typeInto(d, S::kDataPathEdit, root + "/notes.txt");
        click(d, kIdOk);
        ASSERT_TRUE(d.isVisible()); // a file is no data folder
        EXPECT_EQ(messages.shown.size(), 1u);
        typeInto(d, S::kDataPathEdit, root + "/diary");
        click(d, kIdOk);
    });
    ASSERT_TRUE(dialogs.runSettings(settings));
    EXPECT_EQ(settings.usePassword, 1);
    EXPECT_EQ(settings.skinName, u"WOOD");
    EXPECT_EQ(settings.timeFormat, 2);
    EXPECT_EQ(settings.dataPath, fromQString(root) + u"/diary");
    EXPECT_EQ(settings.password, u"새 암호");
}
