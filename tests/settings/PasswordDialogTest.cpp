#include "app/SoftKeyboard.h"
#include "fakes/FakeDialogView.h"
#include "fakes/Fakes.h"
#include "settings/NewPasswordDialog.h"
#include "settings/PasswordDialog.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace pagelet;
using namespace pagelet::fakes;

namespace {

const std::u16string kMismatch = u"암호가 일치하지 않습니다.\n다시 입력하세요.";
const std::u16string kUnsuitable = u"적절한 암호를 설정하시기 바랍니다.";

// The soft keyboard helper is process-wide; each case gets its own panel, down at first.
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
        std::vector<std::u16string> entries; // each confirmed with OK
        bool cancelAfter;
        bool wantOk;
        std::size_t wantMismatches;
    };
    const std::vector<Case> cases = {
        {"right at the third try", u"Secret", {u"secret", u"Secret ", u"Secret"}, false, true, 2},
        {"case matters", u"diary", {u"DIARY", u"Diary", u"DIARY"}, false, false, 2},
        {"empty stored password, empty entry", u"", {u""}, false, true, 0},
        {"Korean password", u"일기장", {u"일기", u"일기장"}, false, true, 1},
        {"cancel shows no message", u"Secret", {}, true, false, 0},
        // Written by hand or by an older version: still typeable, or the diary stays locked.
        {"stored longer than the limit", std::u16string(27, u'x'), {std::u16string(27, u'x')}, false, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KeyboardScope keyboard;
        FakeMessageBox messages;
        FakeDialogView view;
        PasswordDialog dialog(c.stored, 3, messages);
        ASSERT_TRUE(dialog.OnInitDialog(view));
        EXPECT_EQ(view.limits[PasswordDialog::kPasswordEdit], std::max<int>(kMaxPasswordLength, c.stored.size()));
        for (const auto& entry : c.entries) {
            ASSERT_FALSE(view.ended) << "closed before every entry was typed";
            view.texts[PasswordDialog::kPasswordEdit] = entry;
            dialog.OnOK(view);
            if (!view.ended) { // a mismatch empties the edit and puts the caret back in it
                EXPECT_EQ(view.texts[PasswordDialog::kPasswordEdit], u"");
                EXPECT_EQ(view.focused.back(), PasswordDialog::kPasswordEdit);
            }
        }
        if (c.cancelAfter)
            dialog.OnCancel(view);
        EXPECT_EQ(view.ended, std::optional<bool>(c.wantOk));
        EXPECT_EQ(messages.shown.size(), c.wantMismatches);
        for (const auto& m : messages.shown) {
            EXPECT_EQ(m.text, kMismatch);
            EXPECT_EQ(m.caption, u"Pagelet");
        }
        EXPECT_EQ(keyboard.panel.raised, 1);
        EXPECT_EQ(keyboard.panel.lowered, c.wantOk ? 1 : 0); // only a correct entry lowers it
    }
}

TEST(NewPasswordDialog, OkNeedsAPasswordTypedTwiceAlike)
{
    enum class Says { Nothing, Unsuitable, Mismatch };
    struct Case {
        const char* name;
        std::u16string password, confirmation;
        Says wantMessage;
    };
    const std::u16string longest(kMaxPasswordLength, u'k');
    const std::u16string tooLong(kMaxPasswordLength + 1, u'k');
    const std::vector<Case> cases = {
        {"alike", u"비밀", u"비밀", Says::Nothing},
        {"longest the prompt takes", longest, longest, Says::Nothing},
        {"different", u"abc", u"abd", Says::Mismatch},
        {"case differs", u"Abc", u"abc", Says::Mismatch},
        {"empty first field comes before the mismatch", u"", u"abc", Says::Unsuitable},
        {"longer than the prompt takes", tooLong, tooLong, Says::Unsuitable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KeyboardScope keyboard;
        FakeMessageBox messages;
        FakeDialogView view;
        NewPasswordDialog dialog(messages);
        ASSERT_TRUE(dialog.OnInitDialog(view));
        EXPECT_EQ(view.limits[NewPasswordDialog::kPasswordEdit], kMaxPasswordLength);
        EXPECT_EQ(view.limits[NewPasswordDialog::kConfirmEdit], kMaxPasswordLength);
        // Set directly, as a view that ignored the limits would hand them over.
        view.texts[NewPasswordDialog::kPasswordEdit] = c.password;
        view.texts[NewPasswordDialog::kConfirmEdit] = c.confirmation;
        dialog.OnOK(view);

        const bool ok = c.wantMessage == Says::Nothing;
        EXPECT_EQ(view.ended, ok ? std::optional<bool>(true) : std::nullopt);
        EXPECT_EQ(keyboard.panel.lowered, ok ? 1 : 0);
        if (ok) {
            EXPECT_EQ(dialog.newPassword, c.password);
            EXPECT_TRUE(messages.shown.empty());
            continue;
        }
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, c.wantMessage == Says::Mismatch ? kMismatch : kUnsuitable);
        EXPECT_EQ(view.focused.back(), NewPasswordDialog::kPasswordEdit);
        // A mismatch empties both fields; a refused password keeps them.
        const bool kept = c.wantMessage == Says::Unsuitable;
        EXPECT_EQ(view.texts[NewPasswordDialog::kPasswordEdit], kept ? c.password : u"");
        EXPECT_EQ(view.texts[NewPasswordDialog::kConfirmEdit], kept ? c.confirmation : u"");
    }
}
