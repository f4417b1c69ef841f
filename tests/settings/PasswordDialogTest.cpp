#include "app/SoftKeyboard.h"
#include "base/Text.h"
#include "fakes/FakeDialogView.h"
#include "fakes/Fakes.h"
#include "settings/NewPasswordDialog.h"
#include "settings/PasswordDialog.h"

#include <gtest/gtest.h>
#include <vector>

using namespace pagelet;
using namespace pagelet::fakes;

namespace {

const std::u16string kMismatch = u"암호가 일치하지 않습니다.\n다시 입력하세요.";
const std::u16string kUnsuitable = u"적절한 암호를 설정하시기 바랍니다.";

// The soft keyboard helper is process-wide; each test gets its own panel in the down state.
struct KeyboardScope {
    KeyboardScope()
    {
        setSoftKeyboardOwner(&panel);
        setSoftKeyboardState(false);
    }
    ~KeyboardScope() { setSoftKeyboardOwner(nullptr); }
    FakeSoftInput panel;
};

} // namespace

TEST(PasswordDialog, ThreeTriesOpenOnlyOnAnExactMatch)
{
    struct Case {
        const char* name;
        std::u16string stored;
        std::vector<std::u16string> entries; // typed and confirmed with OK, one after another
        bool wantOk;
        std::size_t wantMismatches;
    };
    const std::vector<Case> cases = {
        {"right at once", u"Secret", {u"Secret"}, true, 0},
        {"right at the third try", u"Secret", {u"secret", u"Secret ", u"Secret"}, true, 2},
        {"case matters", u"diary", {u"DIARY", u"Diary", u"DIARY"}, false, 2},
        {"empty stored password opens with an empty entry", u"", {u""}, true, 0},
        {"an empty entry is no match", u"a", {u"", u"", u""}, false, 2},
        {"Korean password", u"일기장", {u"일기", u"일기장"}, true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KeyboardScope keyboard;
        FakeMessageBox messages;
        FakeDialogView view;
        PasswordDialog dialog(c.stored, 3, messages);
        ASSERT_TRUE(dialog.OnInitDialog(view));
        EXPECT_EQ(keyboard.panel.raised, 1);
        for (const auto& entry : c.entries) {
            ASSERT_FALSE(view.ended.has_value()) << "the prompt closed before every entry was typed";
            view.type(PasswordDialog::kPasswordEdit, entry);
            dialog.OnOK(view);
            if (!view.ended) {
                // A mismatch empties the edit and puts the caret back in it.
                EXPECT_EQ(view.texts[PasswordDialog::kPasswordEdit], u"");
                ASSERT_FALSE(view.focused.empty());
                EXPECT_EQ(view.focused.back(), PasswordDialog::kPasswordEdit);
            }
        }
        ASSERT_TRUE(view.ended.has_value());
        EXPECT_EQ(*view.ended, c.wantOk);
        ASSERT_EQ(messages.shown.size(), c.wantMismatches);
        for (const auto& m : messages.shown) {
            EXPECT_EQ(m.text, kMismatch);
            EXPECT_EQ(m.caption, u"Pagelet");
            EXPECT_EQ(m.buttons, MessageButtons::Ok);
        }
        // Only a correct entry takes the keyboard down.
        EXPECT_EQ(keyboard.panel.lowered, c.wantOk ? 1 : 0);
    }
}

TEST(PasswordDialog, CancelClosesWithoutAMessageAndLeavesTheKeyboard)
{
    KeyboardScope keyboard;
    FakeMessageBox messages;
    FakeDialogView view;
    PasswordDialog dialog(u"Secret", 3, messages);
    dialog.OnInitDialog(view);
    view.type(PasswordDialog::kPasswordEdit, u"wrong");
    dialog.OnCancel(view);
    ASSERT_TRUE(view.ended.has_value());
    EXPECT_FALSE(*view.ended);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(keyboard.panel.lowered, 0);
}

TEST(PasswordDialog, EntryIsLimitedButEveryStoredPasswordCanBeTyped)
{
    struct Case {
        std::size_t storedLength;
        int wantLimit;
    };
    for (const Case c : {Case {0, 20}, Case {20, 20}, Case {27, 27}}) {
        SCOPED_TRACE(c.storedLength);
        FakeMessageBox messages;
        FakeDialogView view;
        const std::u16string stored(c.storedLength, u'x');
        PasswordDialog dialog(stored, 3, messages);
        dialog.OnInitDialog(view);
        EXPECT_EQ(view.limits[PasswordDialog::kPasswordEdit], c.wantLimit);
        view.type(PasswordDialog::kPasswordEdit, std::u16string(40, u'x'));
        EXPECT_EQ(view.texts[PasswordDialog::kPasswordEdit].size(), static_cast<std::size_t>(c.wantLimit));
        view.type(PasswordDialog::kPasswordEdit, stored);
        dialog.OnOK(view);
        EXPECT_EQ(view.ended, std::optional<bool>(true));
    }
}

TEST(NewPasswordDialog, OkNeedsAPasswordTypedTwiceAlike)
{
    enum class Says { Nothing, Unsuitable, Mismatch };
    struct Case {
        const char* name;
        std::u16string password, confirmation;
        bool wantOk;
        Says wantMessage;
        bool wantFieldsKept;
    };
    const std::vector<Case> cases = {
        {"alike", u"abc", u"abc", true, Says::Nothing, true},
        {"Korean alike", u"비밀", u"비밀", true, Says::Nothing, true},
        {"different", u"abc", u"abd", false, Says::Mismatch, false},
        {"case differs", u"Abc", u"abc", false, Says::Mismatch, false},
        {"empty first field comes before the mismatch", u"", u"abc", false, Says::Unsuitable, true},
        {"both empty", u"", u"", false, Says::Unsuitable, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KeyboardScope keyboard;
        FakeMessageBox messages;
        FakeDialogView view;
        NewPasswordDialog dialog(messages);
        ASSERT_TRUE(dialog.OnInitDialog(view));
        EXPECT_EQ(keyboard.panel.raised, 1);
        view.type(NewPasswordDialog::kPasswordEdit, c.password);
        view.type(NewPasswordDialog::kConfirmEdit, c.confirmation);
        dialog.OnOK(view);

        EXPECT_EQ(view.ended.has_value(), c.wantOk);
        if (c.wantOk) {
            EXPECT_TRUE(*view.ended);
            EXPECT_EQ(dialog.newPassword, c.password);
            EXPECT_EQ(keyboard.panel.lowered, 1);
        } else {
            ASSERT_FALSE(view.focused.empty());
            EXPECT_EQ(view.focused.back(), NewPasswordDialog::kPasswordEdit);
            EXPECT_EQ(keyboard.panel.lowered, 0);
        }
        if (c.wantMessage == Says::Nothing) {
            EXPECT_TRUE(messages.shown.empty());
        } else {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].text, c.wantMessage == Says::Mismatch ? kMismatch : kUnsuitable);
            EXPECT_EQ(messages.shown[0].caption, u"Pagelet");
        }
        const std::u16string keptOrEmptyPassword = c.wantFieldsKept ? c.password : u"";
        const std::u16string keptOrEmptyConfirmation = c.wantFieldsKept ? c.confirmation : u"";
        EXPECT_EQ(view.texts[NewPasswordDialog::kPasswordEdit], keptOrEmptyPassword);
        EXPECT_EQ(view.texts[NewPasswordDialog::kConfirmEdit], keptOrEmptyConfirmation);
    }
}

TEST(NewPasswordDialog, NeverSetsAPasswordThePromptCannotTake)
{
    FakeMessageBox messages;
    FakeDialogView view;
    NewPasswordDialog dialog(messages);
    dialog.OnInitDialog(view);
    EXPECT_EQ(view.limits[NewPasswordDialog::kPasswordEdit], kMaxPasswordLength);
    EXPECT_EQ(view.limits[NewPasswordDialog::kConfirmEdit], kMaxPasswordLength);

    // Even a view that ignores the limit gets a refusal, not a password nobody can type.
    const std::u16string tooLong(kMaxPasswordLength + 1, u'k');
    view.texts[NewPasswordDialog::kPasswordEdit] = tooLong;
    view.texts[NewPasswordDialog::kConfirmEdit] = tooLong;
    dialog.OnOK(view);
    EXPECT_FALSE(view.ended.has_value());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kUnsuitable);

    // The longest allowed one is accepted and opens the prompt.
    const std::u16string longest(kMaxPasswordLength, u'k');
    view.type(NewPasswordDialog::kPasswordEdit, longest);
    view.type(NewPasswordDialog::kConfirmEdit, longest);
    dialog.OnOK(view);
    ASSERT_EQ(view.ended, std::optional<bool>(true));
    FakeDialogView promptView;
    PasswordDialog prompt(dialog.newPassword, 3, messages);
    prompt.OnInitDialog(promptView);
    promptView.type(PasswordDialog::kPasswordEdit, longest);
    prompt.OnOK(promptView);
    EXPECT_EQ(promptView.ended, std::optional<bool>(true));
}
