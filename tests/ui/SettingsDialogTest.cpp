#include "base/Day.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "fakes/FakeDialogView.h"
#include "fakes/Fakes.h"
#include "settings/NewPasswordDialog.h"
#include "ui/SettingsDialog.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace pagelet;
using namespace pagelet::fakes;
namespace fs = std::filesystem;

namespace {

using S = SettingsDialog;
const std::u16string kBadPath = u"적절한 경로를 설정하시기 바랍니다.";

// An install folder with skin/default, skin/Blue, skin/Wood, a stray file among them, and a
// data folder.
class Install {
public:
    Install()
    {
        static int counter = 0;
        root = fs::temp_directory_path() / ("pagelet-settings-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(root);
        for (const char* skin : {"default", "Blue", "Wood"})
            fs::create_directories(root / "skin" / skin);
        std::ofstream(root / "skin" / "readme.txt") << "not a skin";
        fs::create_directories(root / "diary");
        std::ofstream(root / "notes.txt") << "a file";
    }
    ~Install() { fs::remove_all(root); }
    std::u16string path(const char* name = "") const { return fromUtf8((root / name).string()); }
    fs::path root;
};

struct Rig {
    explicit Rig(const Install& install)
    {
        dialog.programPath = install.path() + u"/";
        dialog.skinName = u"default";
        dialog.dataPath = install.path("diary") + u"/";
        clock.value = fromLocal({2026, 12, 7}, 14, 5, 9);
    }
    FakeMessageBox messages;
    FakeClock clock;
    FakeDialogs dialogs;
    FakeDialogView view;
    SettingsDialog dialog {messages, clock, dialogs};
};

} // namespace

TEST(SettingsDialog, ListsSkinFoldersInCapitalsAndSelectsTheCurrentOne)
{
    struct Case {
        std::u16string current;
        std::u16string wantSelected; // empty: no selection
    };
    for (const auto& c : {Case {u"default", u"DEFAULT"}, Case {u"WOOD", u"WOOD"}, Case {u"bLuE", u"BLUE"},
                          Case {u"gone", u""}}) {
        SCOPED_TRACE(toUtf8(c.current));
        Install install;
        Rig rig(install);
        rig.dialog.skinName = c.current;
        EXPECT_TRUE(rig.dialog.OnInitDialog(rig.view));

        // Listing order is the file system's; the file among the folders is no skin.
        std::vector<std::u16string> want;
        for (const auto& name : listFolders(install.path("skin") + u"/"))
            want.push_back(toUpperAscii(name));
        ASSERT_EQ(want.size(), 3u);
        EXPECT_EQ(rig.view.lists[S::kSkinList], want);

        const int selected = rig.view.selections[S::kSkinList];
        EXPECT_EQ(selected < 0 ? u"" : rig.view.lists[S::kSkinList][selected], c.wantSelected);

        rig.dialog.OnOK(rig.view);
        ASSERT_EQ(rig.view.ended, std::optional<bool>(true));
        // Without a selection the current skin stays as it was.
        EXPECT_EQ(rig.dialog.skinName, c.wantSelected.empty() ? c.current : c.wantSelected);
    }
}

TEST(SettingsDialog, NoSkinFolderLeavesTheListEmptyAndKeepsTheSkin)
{
    Install install;
    fs::remove_all(install.root / "skin");
    Rig rig(install);
    rig.dialog.OnInitDialog(rig.view);
    EXPECT_TRUE(rig.view.lists[S::kSkinList].empty());
    rig.dialog.OnOK(rig.view);
    EXPECT_EQ(rig.dialog.skinName, u"default");
    EXPECT_EQ(rig.dialog.skinIndex, -1);
}

TEST(SettingsDialog, TimeSamplesShowEveryStyleAtThisMomentWithTwoBlanks)
{
    struct Case {
        int hour, minute, second;
        std::vector<std::u16string> want;
    };
    const std::vector<Case> cases = {
        {14, 5, 9,
         {u"오후 02 : 05  ", u"P.M. 02 : 05  ", u"14 : 05  ", u"오후 02 : 05 : 09  ", u"P.M. 02 : 05 : 09  ",
          u"14 : 05 : 09  "}},
        {0, 30, 0,
         {u"오전 00 : 30  ", u"A.M. 00 : 30  ", u"00 : 30  ", u"오전 00 : 30 : 00  ", u"A.M. 00 : 30 : 00  ",
          u"00 : 30 : 00  "}},
        {12, 30, 0,
         {u"오전 12 : 30  ", u"A.M. 12 : 30  ", u"12 : 30  ", u"오전 12 : 30 : 00  ", u"A.M. 12 : 30 : 00  ",
          u"12 : 30 : 00  "}},
        {13, 30, 0,
         {u"오후 01 : 30  ", u"P.M. 01 : 30  ", u"13 : 30  ", u"오후 01 : 30 : 00  ", u"P.M. 01 : 30 : 00  ",
          u"13 : 30 : 00  "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hour * 100 + c.minute);
        Install install;
        Rig rig(install);
        rig.clock.value = fromLocal({2026, 12, 7}, c.hour, c.minute, c.second);
        rig.dialog.OnInitDialog(rig.view);
        EXPECT_EQ(rig.view.lists[S::kTimeFormatList], c.want);
    }
}

TEST(SettingsDialog, ControlsShowTheGivenValuesAndOkReadsThemBack)
{
    struct Case {
        std::int32_t usePassword, autoKeyboard, timeFormat;
        bool wantPasswordChecked, wantKeyboardChecked;
        int wantTimeSelection;
    };
    const std::vector<Case> cases = {
        {0, 1, 0, false, true, 0},
        {1, 0, 5, true, false, 5},
        {-3, 2, 3, true, true, 3},     // any non-zero value is on
        {1, 1, 7, true, true, -1},     // a style outside the list selects nothing
        {0, 0, -1, false, false, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.timeFormat);
        Install install;
        Rig rig(install);
        rig.dialog.usePassword = c.usePassword;
        rig.dialog.autoKeyboard = c.autoKeyboard;
        rig.dialog.timeFormat = c.timeFormat;
        rig.dialog.OnInitDialog(rig.view);
        EXPECT_EQ(rig.view.checks[S::kUsePasswordCheck], c.wantPasswordChecked);
        EXPECT_EQ(rig.view.checks[S::kAutoKeyboardCheck], c.wantKeyboardChecked);
        EXPECT_EQ(rig.view.enabled[S::kSetPasswordButton], c.wantPasswordChecked);
        EXPECT_EQ(rig.view.selections[S::kTimeFormatList], c.wantTimeSelection);
        EXPECT_EQ(rig.view.texts[S::kDataPathEdit], install.path("diary") + u"/");

        rig.dialog.OnOK(rig.view);
        ASSERT_EQ(rig.view.ended, std::optional<bool>(true));
        EXPECT_EQ(rig.dialog.usePassword, c.wantPasswordChecked ? 1 : 0);
        EXPECT_EQ(rig.dialog.autoKeyboard, c.wantKeyboardChecked ? 1 : 0);
        EXPECT_EQ(rig.dialog.timeFormat, c.wantTimeSelection);
    }
}

TEST(SettingsDialog, UsePasswordCheckOnlyEnablesTheSetButton)
{
    Install install;
    Rig rig(install);
    rig.dialog.password = u"old";
    rig.dialog.OnInitDialog(rig.view);
    EXPECT_FALSE(rig.view.enabled[S::kSetPasswordButton]);

    for (bool checked : {true, false, true}) {
        rig.view.checks[S::kUsePasswordCheck] = checked;
        rig.dialog.OnCommand(rig.view, S::kUsePasswordCheck);
        EXPECT_EQ(rig.view.enabled[S::kSetPasswordButton], checked);
        EXPECT_EQ(rig.dialog.usePassword, checked ? 1 : 0);
    }
    EXPECT_EQ(rig.dialogs.newPasswordRuns, 0);
    EXPECT_EQ(rig.dialog.password, u"old");
    EXPECT_FALSE(rig.view.ended.has_value());
}

TEST(SettingsDialog, SetButtonTakesTheNewPasswordOnlyOnOk)
{
    for (bool confirmed : {true, false}) {
        SCOPED_TRACE(confirmed);
        Install install;
        Rig rig(install);
        rig.dialog.usePassword = 1;
        rig.dialog.password = u"old";
        rig.dialogs.newPasswordScript = [&](NewPasswordDialog& d) {
            d.newPassword = u"새암호";
            return confirmed;
        };
        rig.dialog.OnInitDialog(rig.view);
        rig.dialog.OnCommand(rig.view, S::kSetPasswordButton);
        EXPECT_EQ(rig.dialogs.newPasswordRuns, 1);
        EXPECT_EQ(rig.dialog.password, confirmed ? u"새암호" : u"old");
        EXPECT_TRUE(rig.view.checks[S::kUsePasswordCheck]); // the check box is not touched
    }
}

TEST(SettingsDialog, OkAcceptsOnlyAnExistingFolderAsTheDataPath)
{
    struct Case {
        const char* name;
        std::u16string typed; // relative to the install folder unless it starts with "/"
        bool wantOk;
    };
    const std::vector<Case> cases = {
        {"folder with separator", u"diary/", true},
        {"folder typed without its separator", u"diary", true},
        {"a file", u"notes.txt", false},
        {"missing folder", u"nowhere", false},
        {"empty", u"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Install install;
        Rig rig(install);
        rig.dialog.OnInitDialog(rig.view);
        const std::u16string typed = c.typed.empty() ? u"" : install.path() + u"/" + c.typed;
        rig.view.type(S::kDataPathEdit, typed);
        rig.view.selections[S::kTimeFormatList] = 4;
        rig.dialog.OnOK(rig.view);

        EXPECT_EQ(rig.view.ended.has_value(), c.wantOk);
        EXPECT_EQ(rig.dialog.dataPath, typed); // returned as typed, kept as typed when refused
        EXPECT_EQ(rig.dialog.timeFormat, 4);
        if (c.wantOk) {
            EXPECT_TRUE(rig.messages.shown.empty());
        } else {
            ASSERT_EQ(rig.messages.shown.size(), 1u);
            EXPECT_EQ(rig.messages.shown[0].text, kBadPath);
            EXPECT_EQ(rig.messages.shown[0].caption, u"Pagelet");
            EXPECT_EQ(rig.messages.shown[0].buttons, MessageButtons::Ok);
            ASSERT_FALSE(rig.view.focused.empty());
            EXPECT_EQ(rig.view.focused.back(), S::kDataPathEdit);
            EXPECT_EQ(rig.view.texts[S::kDataPathEdit], typed);
        }
    }
}

TEST(SettingsDialog, RelativeDataPathIsRefusedWhereverTheProgramRuns)
{
    Install install;
    const fs::path before = fs::current_path();
    fs::current_path(install.root);
    Rig rig(install);
    rig.dialog.OnInitDialog(rig.view);
    rig.view.type(S::kDataPathEdit, u"diary"); // an existing folder, but only from here
    rig.dialog.OnOK(rig.view);
    fs::current_path(before);
    EXPECT_FALSE(rig.view.ended.has_value());
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text, kBadPath);
}
