#include "base/FileIo.h"
#include "base/Text.h"
#include "fakes/FakeDialogView.h"
#include "fakes/Fakes.h"
#include "settings/NewPasswordDialog.h"
#include "ui/SettingsDialog.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace pagelet;
using namespace pagelet::fakes;
namespace fs = std::filesystem;

namespace {

using S = SettingsDialog;

// An install with skin/default, skin/Blue, skin/Wood and a stray file among them, a data
// folder and a file beside it; the dialog filled as the settings command fills it.
struct Rig {
    Rig()
    {
        static int counter = 0;
        root = fs::temp_directory_path() / ("pagelet-settings-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(root);
        for (const char* skin : {"default", "Blue", "Wood"})
            fs::create_directories(root / "skin" / skin);
        std::ofstream(root / "skin" / "readme.txt") << "not a skin";
        fs::create_directories(root / "diary");
        std::ofstream(root / "notes.txt") << "a file";
        dialog.programPath = path("") + u"/";
        dialog.skinName = u"default";
        dialog.dataPath = path("diary/");
        clock.value = fromLocal({2026, 12, 7}, 14, 5, 9);
    }
    ~Rig() { fs::remove_all(root); }
    std::u16string path(const char* name) const { return fromUtf8(root.string()) + u"/" + fromUtf8(name); }

    fs::path root;
    FakeMessageBox messages;
    FakeClock clock;
    FakeDialogs dialogs;
    FakeDialogView view;
    SettingsDialog dialog {messages, clock, dialogs};
};

} // namespace

TEST(SettingsDialog, ListsSkinFoldersInCapitalsAndOkReturnsTheChosenOne)
{
    struct Case {
        std::u16string current;
        std::u16string wantSelected; // empty: no selection, the current name stays
    };
    for (const auto& c : {Case {u"default", u"DEFAULT"}, Case {u"bLuE", u"BLUE"}, Case {u"gone", u""}}) {
        SCOPED_TRACE(toUtf8(c.current));
        Rig rig;
        rig.dialog.skinName = c.current;
        EXPECT_TRUE(rig.dialog.OnInitDialog(rig.view));

        // In the file system's listing order; the file among the folders is no skin.
        std::vector<std::u16string> want;
        for (const auto& name : listFolders(rig.path("skin/")))
            want.push_back(toUpperAscii(name));
        EXPECT_EQ(want.size(), 3u);
        EXPECT_EQ(rig.view.lists[S::kSkinList], want);
        const int selected = rig.view.selections[S::kSkinList];
        EXPECT_EQ(selected < 0 ? u"" : want[selected], c.wantSelected);

        rig.dialog.OnOK(rig.view);
        ASSERT_EQ(rig.view.ended, std::optional<bool>(true));
        EXPECT_EQ(rig.dialog.skinName, c.wantSelected.empty() ? c.current : c.wantSelected);
    }
}

TEST(SettingsDialog, ControlsShowTheGivenValuesAndOkReadsThemBack)
{
    struct Case {
        std::int32_t usePassword, autoKeyboard, timeFormat;
        bool wantPassword, wantKeyboard;
        int wantTimeSelection;
    };
    const std::vector<Case> cases = {
        {0, 1, 5, false, true, 5},
        {-3, 0, 7, true, false, -1}, // any non-zero value is on; a style outside the list selects nothing
        {1, 2, -1, true, true, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.timeFormat);
        Rig rig;
        rig.dialog.usePassword = c.usePassword;
        rig.dialog.autoKeyboard = c.autoKeyboard;
        rig.dialog.timeFormat = c.timeFormat;
        rig.dialog.OnInitDialog(rig.view);
        EXPECT_EQ(rig.view.lists[S::kTimeFormatList],
                  (std::vector<std::u16string> {u"오후 02 : 05  ", u"P.M. 02 : 05  ", u"14 : 05  ", u"오후 02 : 05 : 09  ",
                                                u"P.M. 02 : 05 : 09  ", u"14 : 05 : 09  "}));
        EXPECT_EQ(rig.view.checks[S::kUsePasswordCheck], c.wantPassword);
        EXPECT_EQ(rig.view.checks[S::kAutoKeyboardCheck], c.wantKeyboard);
        EXPECT_EQ(rig.view.enabled[S::kSetPasswordButton], c.wantPassword);
        EXPECT_EQ(rig.view.selections[S::kTimeFormatList], c.wantTimeSelection);
        EXPECT_EQ(rig.view.texts[S::kDataPathEdit], rig.path("diary/"));

        rig.dialog.OnOK(rig.view);
        ASSERT_EQ(rig.view.ended, std::optional<bool>(true));
        EXPECT_EQ(rig.dialog.usePassword, c.wantPassword ? 1 : 0);
        EXPECT_EQ(rig.dialog.autoKeyboard, c.wantKeyboard ? 1 : 0);
        EXPECT_EQ(rig.dialog.timeFormat, c.wantTimeSelection);
    }
}

TEST(SettingsDialog, PasswordCheckEnablesTheSetButtonWhichTakesANewPasswordOnlyOnOk)
{
    Rig rig;
    rig.dialog.password = u"old";
    bool confirm = false;
    rig.dialogs.newPasswordScript = [&](NewPasswordDialog& d) {
        d.newPassword = u"새암호";
        return confirm;
    };
    rig.dialog.OnInitDialog(rig.view);
    for (bool checked : {true, false, true}) {
        rig.view.checks[S::kUsePasswordCheck] = checked;
        rig.dialog.OnCommand(rig.view, S::kUsePasswordCheck);
        EXPECT_EQ(rig.view.enabled[S::kSetPasswordButton], checked);
    }
    EXPECT_EQ(rig.dialogs.newPasswordRuns, 0); // checking the box asks for nothing
    rig.dialog.OnCommand(rig.view, S::kSetPasswordButton);
    EXPECT_EQ(rig.dialog.password, u"old");
    confirm = true;
    rig.dialog.OnCommand(rig.view, S::kSetPasswordButton);
    EXPECT_EQ(rig.dialog.password, u"새암호");
    EXPECT_FALSE(rig.view.ended);
}

TEST(SettingsDialog, OkAcceptsOnlyAnExistingFolderNamedInFull)
{
    struct Case {
        const char* typed; // under the install folder; "~" marks a relative path
        bool wantOk;
    };
    const std::vector<Case> cases = {
        {"diary/", true}, {"diary", true}, {"notes.txt", false}, {"nowhere", false}, {"", false}, {"~diary", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Rig rig;
        // A relative path would name this folder only while the program runs from here.
        const fs::path before = fs::current_path();
        fs::current_path(rig.root);
        const std::u16string typed = c.typed[0] == '~' ? fromUtf8(c.typed + 1)
                                     : *c.typed     ? rig.path(c.typed)
                                                    : u"";
        rig.dialog.OnInitDialog(rig.view);
        rig.view.texts[S::kDataPathEdit] = typed;
        rig.dialog.OnOK(rig.view);
        fs::current_path(before);

        EXPECT_EQ(rig.view.ended.has_value(), c.wantOk);
        EXPECT_EQ(rig.dialog.dataPath, typed); // returned as typed
        if (c.wantOk) {
            EXPECT_TRUE(rig.messages.shown.empty());
            continue;
        }
        ASSERT_EQ(rig.messages.shown.size(), 1u);
        EXPECT_EQ(rig.messages.shown[0].text, u"적절한 경로를 설정하시기 바랍니다.");
        EXPECT_EQ(rig.messages.shown[0].caption, u"Pagelet");
        EXPECT_EQ(rig.view.focused.back(), S::kDataPathEdit);
        EXPECT_EQ(rig.view.texts[S::kDataPathEdit], typed);
    }
}
