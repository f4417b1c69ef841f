#include "Rig.h"
#include "qt/dialogs/DialogTemplate.h"
#include "qt/dialogs/QtDialog.h"
#include "qt/dialogs/QtDialogs.h"
#include "qt/graphics/Zoom.h"
#include "qt/ports/QtPlatform.h"
#include "settings/NewPasswordDialog.h"
#include "settings/PasswordDialog.h"
#include "ui/SettingsDialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pagelet;
using namespace pagelet::fakes;
using namespace pagelet::qttest;

namespace {

using S = SettingsDialog;

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

TEST(Dialogs, TemplatesGiveCaptionsPlacesTabOrderAndMaskedLimitedInput)
{
    FakeMessageBox messages;
    FakeClock clock;
    FakeDialogs dialogs;
    FakeSoftInput panel;
    PanelKeyboard keyboard(panel);
    PasswordDialog password(u"", 3, messages, keyboard);
    NewPasswordDialog newPassword(messages, keyboard);
    SettingsDialog settings(messages, clock, dialogs, keyboard);
    struct Case {
        int templateId;
        DialogHandler& handler;
        QString caption;
        std::vector<int> tabIds;
        QRect okPixels;
    };
    const Case cases[] = {
        {PasswordDialog::kTemplateId, password, "비밀번호 입력", {PasswordDialog::kPasswordEdit, kIdOk, kIdCancel}, {56, 148, 63, 21}},
        {NewPasswordDialog::kTemplateId, newPassword, "새 비밀번호 입력",
         {NewPasswordDialog::kPasswordEdit, NewPasswordDialog::kConfirmEdit, kIdOk, kIdCancel}, {71, 142, 63, 22}},
        {SettingsDialog::kTemplateId, settings, "환경 설정",
         {S::kUsePasswordCheck, S::kSetPasswordButton, S::kSkinList, S::kAutoKeyboardCheck, S::kTimeFormatList,
          S::kDataPathEdit, S::kBackupPathEdit, S::kEncryptButton, kIdOk, kIdCancel},
         {108, 180, 63, 21}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption.toStdString());
        const DialogTemplate* layout = dialogTemplate(c.templateId);
        ASSERT_TRUE(layout);
        const Zoom zoom;
        QtDialog d(*layout, c.handler, zoom);
        c.handler.OnInitDialog(d);
        EXPECT_EQ(d.windowTitle(), c.caption);
        EXPECT_EQ(d.size(), QSize(240, 270));
        EXPECT_EQ(tabOrder(d, c.tabIds), c.tabIds);
        // Shown, the dialog starts at the first of them.
        QWidget* first = nullptr;
        QTimer::singleShot(0, &d, [&] {
            first = d.focusWidget();
            d.reject();
        });
        d.run();
        EXPECT_EQ(first, d.control(c.tabIds.front()));
        auto* ok = qobject_cast<QPushButton*>(d.control(kIdOk));
        EXPECT_TRUE(ok->isDefault());
        EXPECT_EQ(ok->geometry(), c.okPixels);
        for (auto* e : d.findChildren<QLineEdit*>()) {
            if (e == d.control(S::kDataPathEdit) || e == d.control(S::kBackupPathEdit))
                continue;
            EXPECT_EQ(e->echoMode(), QLineEdit::Password);
            e->insert(QString(25, 'x')); // as typing does
            EXPECT_EQ(e->text().size(), 20);
        }
    }
}

TEST(Dialogs, AnUnknownTemplateRunsNothing)
{
    FakeMessageBox messages;
    FakeSoftInput panel;
    PanelKeyboard keyboard(panel);
    PasswordDialog handler(u"", 3, messages, keyboard);
    EXPECT_FALSE(QtDialogs(Zoom()).run(0, handler));
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
    const Case cases[] = {
        {"three wrong entries end the program", {"secret", "SECRET", "Secre"}, false, {mismatch, mismatch, closing}},
        {"right at the second try", {"x", "Secret"}, true, {mismatch}},
        {"Escape shows no mismatch message", {"<Esc>"}, false, {closing}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempInstall temp;
        Settings locked;
        locked.usePassword = 1;
        locked.password = u"Secret";
        temp.install(locked);
        PageletWindow window(temp.overrides);
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
        for (const auto& m : temp.messages.shown)
            shown.push_back(m.text);
        EXPECT_EQ(shown, c.wantMessages);
        EXPECT_EQ(temp.exit.status, c.wantStarted ? -1 : 0);
    }
}

TEST(MessageBoxes, EscapeOrTheCloseButtonOnAQuestionIsNoAnswer)
{
    const std::vector<std::pair<std::function<void(QMessageBox&)>, MessageAnswer>> cases = {
        {[](QMessageBox& b) { b.button(QMessageBox::No)->click(); }, MessageAnswer::No},
        {[](QMessageBox& b) { QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier); QApplication::sendEvent(&b, &esc); },
         MessageAnswer::Cancel},
        {[](QMessageBox& b) { b.close(); }, MessageAnswer::Cancel},
    };
    for (const auto& [act, answer] : cases) {
        int shownButtons = 0;
        QTimer::singleShot(0, [&act, &shownButtons] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            for (QAbstractButton* b : box->buttons())
                shownButtons += b->isVisibleTo(box) ? 1 : 0;
            act(*box);
        });
        EXPECT_EQ(QtMessageBox(Zoom()).show(u"저장하시겠습니까?", u"Pagelet", MessageButtons::YesNo, MessageIcon::Question), answer);
        EXPECT_EQ(shownButtons, 2); // still Yes and No only
    }
}
