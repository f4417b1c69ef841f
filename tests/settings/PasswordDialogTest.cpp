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

std::vector<ShownMessage> messages(std::size_t count, const std::u16string& text)
{
    return std::vector<ShownMessage>(count, {text, u"Pagelet", MessageButtons::Ok, MessageIcon::None});
}

// Each case gets its own panel, down at first.
struct KeyboardScope {
    FakeSoftInput panel;
    PanelKeyboard keyboard {panel};
};

} // namespace

TEST(PasswordDialog, ThreeTriesOpenOnlyOnAnExactMatch)
{
    struct Case {
        const char* name;
        std::u16string stored;
        std::vector<std::u16string> entries; // each confirmed with OK
        bool wantOk;
        std::size_t wantMismatches;
    };
    // Escape is tried on the real dialog at start-up.
    const std::vector<Case> cases = {
        {"right at the third try", u"Secret", {u"secret", u"Secret ", u"Secret"}, true, 2},
        {"case matters", u"diary", {u"DIARY", u"Diary", u"DIARY"}, false, 2},
        {"empty stored password, empty entry", u"", {u""}, true, 0},
        // Written by hand or by an older version: still typeable, or the diary stays locked.
        {"stored longer than the limit", std::u16string(27, u'x'), {std::u16string(27, u'x')}, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KeyboardScope keyboard;
        FakeMessageBox shown;
        FakeDialogView view;
        PasswordDialog dialog(c.stored, 3, shown, keyboard.keyboard);
        ASSERT_TRUE(dialog.OnInitDialog(view));
        EXPECT_EQ(view.limits[PasswordDialog::kPasswordEdit], std::max<int>(20, c.stored.size()));
        for (const auto& entry : c.entries) {
            ASSERT_FALSE(view.ended) << "closed before every entry was typed";
            view.texts[PasswordDialog::kPasswordEdit] = entry;
            dialog.OnOK(view);
            if (!view.ended) { // a mismatch empties the edit and puts the caret back in it
                EXPECT_EQ(view.texts[PasswordDialog::kPasswordEdit], u"");
                EXPECT_EQ(view.focused.back(), PasswordDialog::kPasswordEdit);
            }
        }
        EXPECT_EQ(view.ended, std::optional<bool>(c.wantOk));
        EXPECT_EQ(shown.shown, messages(c.wantMismatches, kMismatch));
        EXPECT_EQ(keyboard.panel.raised, 1);
        EXPECT_EQ(keyboard.panel.lowered, c.wantOk ? 1 : 0); // only a correct entry lowers it
    }
}

TEST(NewPasswordDialog, OkNeedsAPasswordTypedTwiceAlike)
{
    struct Case {
        const char* name;
        std::u16string password, confirmation;
        const std::u16string* message; // none when accepted
    };
    const std::u16string longest(20, u'k'), tooLong(21, u'k');
    const std::vector<Case> cases = {
        {"alike", u"비밀", u"비밀", nullptr},
        {"longest the prompt takes", longest, longest, nullptr},
        {"different", u"Abc", u"abc", &kMismatch},
        {"empty first field comes before the mismatch", u"", u"abc", &kUnsuitable},
        {"longer than the prompt takes", tooLong, tooLong, &kUnsuitable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KeyboardScope keyboard;
        FakeMessageBox shown;
        FakeDialogView view;
        NewPasswordDialog dialog(shown, keyboard.keyboard);
        ASSERT_TRUE(dialog.OnInitDialog(view));
        EXPECT_EQ(view.limits, (std::map<int, int> {{NewPasswordDialog::kPasswordEdit, 20}, {NewPasswordDialog::kConfirmEdit, 20}}));
        // Set directly, as a view that ignored the limits would hand them over.
        view.texts[NewPasswordDialog::kPasswordEdit] = c.password;
        view.texts[NewPasswordDialog::kConfirmEdit] = c.confirmation;
        dialog.OnOK(view);

        EXPECT_EQ(view.ended, c.message ? std::nullopt : std::optional<bool>(true));
        EXPECT_EQ(keyboard.panel.lowered, c.message ? 0 : 1);
        EXPECT_EQ(shown.shown, messages(c.message ? 1 : 0, c.message ? *c.message : u""));
        if (!c.message) {
            EXPECT_EQ(dialog.newPassword, c.password);
            continue;
        }
        EXPECT_EQ(view.focused.back(), NewPasswordDialog::kPasswordEdit);
        // A mismatch empties both fields; a refused password keeps them.
        const bool kept = c.message == &kUnsuitable;
        EXPECT_EQ(view.texts[NewPasswordDialog::kPasswordEdit], kept ? c.password : u"");
        EXPECT_EQ(view.texts[NewPasswordDialog::kConfirmEdit], kept ? c.confirmation : u"");
    }
}
