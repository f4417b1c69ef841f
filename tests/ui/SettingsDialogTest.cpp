#include "base/FileIo.h"
#include "base/Text.h"
#include "fakes/FakeDialogView.h"
#include "fakes/Fakes.h"
#include "settings/NewPasswordDialog.h"
#include "skin/SkinFolder.h"
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
        for (const char* skin : {"default", "Blue", "Wood"})
            fs::create_directories(root / "skin" / skin);
        std::ofstream(root / "skin" / "readme.txt") << "not a skin";
        fs::create_directories(root / "diary");
        std::ofstream(root / "notes.txt") << "a file";
        dialog.programPath = path("");
        dialog.skinName = u"default";
        dialog.dataPath = path("diary/");
        clock.value = fromLocal({2026, 12, 7}, 14, 5, 9);
    }
    ~Rig() { fs::remove_all(root); }
    std::u16string path(const char* name) const { return fromUtf8(root.string()) + u"/" + fromUtf8(name); }

    inline static int counter = 0;
    const fs::path root = fs::temp_directory_path() /
                          ("pagelet-settings-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    FakeMessageBox messages;
    FakeClock clock;
    FakeDialogs dialogs;
    FakeDialogView view;
    FakeSoftInput panel;
    PanelKeyboard keyboard {panel};
    SettingsDialog dialog {messages, clock, dialogs, keyboard};
};

} // namespace

TEST(SettingsDialog, ShowsTheSettingsAndOkTakesThemBackOnlyWithAnExistingDataFolder)
{
    struct Case {
        std::u16string skin;
        std::int32_t usePassword, autoKeyboard, timeFormat;
        const char* typed; // the data folder, under the install folder; "~" marks a relative path
        std::u16string wantSkin; // selected in capitals; none: the current name stays
        bool wantPassword, wantKeyboard;
        int wantTime;
        bool wantOk;
    };
    // Any non-zero value is on; a style outside the list selects nothing.
    const Case cases[] = {
        {u"default", 0, 1, 5, "diary/", u"DEFAULT", false, true, 5, true},
        {u"bLuE", -3, 0, 7, "diary", u"BLUE", true, false, -1, true}, // typed without its separator
        {u"gone", 1, 2, 0, "diary", u"", true, true, 0, true},
        {u"default", 0, 1, 0, "notes.txt", u"DEFAULT", false, true, 0, false},
        {u"default", 0, 1, 0, "nowhere", u"DEFAULT", false, true, 0, false},
        {u"default", 0, 1, 0, "", u"DEFAULT", false, true, 0, false},
        {u"default", 0, 1, 0, "~diary", u"DEFAULT", false, true, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << toUtf8(c.skin) << " " << c.typed);
        Rig rig;
        rig.dialog.skinName = c.skin;
        rig.dialog.usePassword = c.usePassword;
        rig.dialog.autoKeyboard = c.autoKeyboard;
        rig.dialog.timeFormat = c.timeFormat;
        EXPECT_TRUE(rig.dialog.OnInitDialog(rig.view));
        // Skins in the file system's listing order; the file among the folders is no skin.
        std::vector<std::u16string> skins;
        for (const auto& name : listFolders(rig.path("skin/")))
            skins.push_back(toUpperAscii(name));
        EXPECT_EQ(skins.size(), 3u);
        EXPECT_EQ(rig.view.lists[S::kSkinList], skins);
        const int selected = rig.view.selections[S::kSkinList];
        EXPECT_EQ(selected < 0 ? u"" : skins[selected], c.wantSkin);
        EXPECT_EQ(rig.view.lists[S::kTimeFormatList],
                  (std::vector<std::u16string> {u"오후 02 : 05  ", u"P.M. 02 : 05  ", u"14 : 05  ", u"오후 02 : 05 : 09  ",
                                                u"P.M. 02 : 05 : 09  ", u"14 : 05 : 09  "}));
        EXPECT_EQ(rig.view.selections[S::kTimeFormatList], c.wantTime);
        EXPECT_EQ(rig.view.checks[S::kUsePasswordCheck], c.wantPassword);
        EXPECT_EQ(rig.view.enabled[S::kSetPasswordButton], c.wantPassword);
        EXPECT_EQ(rig.view.checks[S::kAutoKeyboardCheck], c.wantKeyboard);
        EXPECT_EQ(rig.view.texts[S::kDataPathEdit], rig.path("diary/"));

        // A relative path would name this folder only while the program runs from here.
        const fs::path before = fs::current_path();
        fs::current_path(rig.root);
        const std::u16string typed = c.typed[0] == '~' ? fromUtf8(c.typed + 1) : *c.typed ? rig.path(c.typed) : u"";
        rig.view.texts[S::kDataPathEdit] = typed;
        rig.dialog.OnOK(rig.view);
        fs::current_path(before);
        EXPECT_EQ(rig.dialog.dataPath, typed); // as typed
        if (!c.wantOk) {
            EXPECT_FALSE(rig.view.ended);
            ASSERT_EQ(rig.messages.shown.size(), 1u);
            EXPECT_EQ(rig.messages.shown[0].text, u"적절한 경로를 설정하시기 바랍니다.");
            EXPECT_EQ(rig.messages.shown[0].caption, u"Pagelet");
            EXPECT_EQ(rig.view.focused.back(), S::kDataPathEdit);
            continue;
        }
        EXPECT_EQ(rig.view.ended, std::optional<bool>(true));
        EXPECT_TRUE(rig.messages.shown.empty());
        EXPECT_EQ(rig.dialog.skinName, c.wantSkin.empty() ? c.skin : c.wantSkin);
        EXPECT_EQ(rig.dialog.usePassword, c.wantPassword ? 1 : 0);
        EXPECT_EQ(rig.dialog.autoKeyboard, c.wantKeyboard ? 1 : 0);
        EXPECT_EQ(rig.dialog.timeFormat, c.wantTime);
    }
}

TEST(SettingsDialog, SkinFoldersAlikeButForCaseAreListedByTheirOwnNamesAndEachLoadsItself)
{
    Rig rig;
    fs::create_directories(rig.root / "skin" / "wood");
    const auto folders = listFolders(rig.path("skin/"));
    for (const auto& current : {u"Wood", u"wood"}) {
        FakeDialogView view;
        rig.dialog.skinName = current;
        rig.dialog.OnInitDialog(view);
        const auto& list = view.lists[S::kSkinList];
        ASSERT_EQ(list.size(), folders.size());
        EXPECT_EQ(list[view.selections[S::kSkinList]], current);
        // Every entry chosen loads the folder it was listed for.
        for (std::size_t i = 0; i < folders.size(); ++i) {
            EXPECT_EQ(list[i], equalsIgnoringCase(folders[i], u"wood") ? folders[i] : toUpperAscii(folders[i]));
            view.selections[S::kSkinList] = static_cast<int>(i);
            rig.dialog.OnOK(view);
            EXPECT_EQ(skinFolderOf(rig.dialog.programPath, rig.dialog.skinName), rig.path("skin/") + folders[i] + u"/");
        }
    }
}

TEST(SettingsDialog, PasswordCheckEnablesTheSetButtonWhichTakesANewPasswordOnlyOnOk)
{
    Rig rig;
    rig.dialog.password = u"old";
    bool confirm = false;
    rig.dialogs.script<NewPasswordDialog>([&](NewPasswordDialog& d) {
        d.newPassword = u"새암호";
        return confirm;
    });
    rig.dialog.OnInitDialog(rig.view);
    for (bool checked : {true, false, true}) {
        rig.view.checks[S::kUsePasswordCheck] = checked;
        rig.dialog.OnCommand(rig.view, S::kUsePasswordCheck);
        EXPECT_EQ(rig.view.enabled[S::kSetPasswordButton], checked);
    }
    EXPECT_EQ(rig.dialogs.runsOf(NewPasswordDialog::kTemplateId), 0); // checking the box asks for nothing
    rig.dialog.OnCommand(rig.view, S::kSetPasswordButton);
    EXPECT_EQ(rig.dialog.password, u"old");
    confirm = true;
    rig.dialog.OnCommand(rig.view, S::kSetPasswordButton);
    EXPECT_EQ(rig.dialog.password, u"새암호");
    EXPECT_FALSE(rig.view.ended);
}

TEST(SettingsDialog, TheBackupFolderIsEmptyOrAnExistingAbsoluteFolder)
{
    const struct {
        const char* typed; // under the install folder; "~" marks a relative path
        bool wantOk;
    } cases[] = {{"", true}, {"diary", true}, {"nowhere", false}, {"notes.txt", false}, {"~diary", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Rig rig;
        rig.dialog.backupPath = u"/shown/as/given";
        rig.dialog.OnInitDialog(rig.view);
        EXPECT_EQ(rig.view.texts[S::kBackupPathEdit], u"/shown/as/given");
        const std::u16string typed = c.typed[0] == '~' ? fromUtf8(c.typed + 1) : *c.typed ? rig.path(c.typed) : u"";
        rig.view.texts[S::kBackupPathEdit] = typed;
        rig.dialog.OnOK(rig.view);
        EXPECT_EQ(rig.dialog.backupPath, typed);
        EXPECT_EQ(rig.view.ended.has_value(), c.wantOk);
        if (!c.wantOk) {
            ASSERT_EQ(rig.messages.shown.size(), 1u);
            EXPECT_EQ(rig.messages.shown[0].text, u"적절한 경로를 설정하시기 바랍니다.");
            EXPECT_EQ(rig.view.focused.back(), S::kBackupPathEdit);
        }
    }
}
