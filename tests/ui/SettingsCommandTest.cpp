#include "app/Commands.h"
#include "app/MainDialog.h"
#include "base/ByteIo.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "fakes/FakeDialogView.h"
#include "fakes/Fakes.h"
#include "settings/ConfigFile.h"
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

const char* const kSkinFile = "WEATHER: 20, 20\r\nBUTTON1: 20, 20\r\nBUTTON2: 24, 20\r\n";

// An installed diary with the skins "default" and "Blue" and settings as given.
class Install {
public:
    explicit Install(const Settings& settings)
    {
        static int counter = 0;
        root = fs::temp_directory_path() / ("pagelet-settings-cmd-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(root);
        for (const char* skin : {"default", "Blue"}) {
            fs::create_directories(root / "skin" / skin);
            std::ofstream(root / "skin" / skin / "skin.skn", std::ios::binary) << kSkinFile;
        }
        fs::create_directories(root / "diary");
        EXPECT_TRUE(writeConfig(path("config.dat"), settings));
    }
    ~Install() { fs::remove_all(root); }
    std::u16string path(const char* name = "") const { return fromUtf8((root / name).string()); }

    void writePage(const LocalDate& date, std::int32_t weather, const std::u16string& text)
    {
        char name[16];
        std::snprintf(name, sizeof name, "%4d%.2d%.2d.dry", date.year, date.month, date.day);
        ByteWriter w;
        w.putInt32(weather);
        w.putInt32(static_cast<std::int32_t>(text.size()));
        w.putUnits(text);
        ASSERT_TRUE(writeFileAtomic(fromUtf8((root / "diary" / name).string()), w.bytes()));
    }

    fs::path root;
};

struct Rig {
    explicit Rig(const Install& install)
        : dialog(MainDialogPorts {p.window, p.messages, p.registry, p.exit, p.calendar, p.edit, p.graphics, p.clock,
                                  p.dialogs, p.softInput})
    {
        p.registry.values[u"Program Path"] = install.path();
        p.calendar.todayValue = fromLocal(kToday);
        p.clock.value = fromLocal(kToday, 14, 5, 9);
    }
    static constexpr LocalDate kToday {2026, 12, 7};
    FakePlatform p;
    MainDialog dialog;
};

// Runs the real dialog logic as a user would: choose the skin and time style, press OK.
std::function<bool(SettingsDialog&)> choose(const std::u16string& skin, int timeFormat)
{
    return [=](SettingsDialog& d) {
        FakeDialogView view;
        d.OnInitDialog(view);
        const auto& skins = view.lists[SettingsDialog::kSkinList];
        view.selections[SettingsDialog::kSkinList] =
            static_cast<int>(std::find(skins.begin(), skins.end(), skin) - skins.begin());
        view.selections[SettingsDialog::kTimeFormatList] = timeFormat;
        d.OnOK(view);
        return view.ended.value_or(false);
    };
}

const SkinElement& element(const MainDialog& dialog, std::initializer_list<int> commands)
{
    for (const auto& e : dialog.skin.elements)
        if (std::find(commands.begin(), commands.end(), e->command) != commands.end())
            return *e;
    static const SkinElement none({}, nullptr, -1, -1);
    ADD_FAILURE() << "no such button";
    return none;
}

} // namespace

TEST(SettingsCommand, NewSkinShowsTheShownPageState)
{
    enum class Page { None, Stored, StoredBeingEdited };
    struct Case {
        const char* name;
        Page page;
        int wantEditCommand, wantEditCell;
        bool wantWeatherEnabled, wantStampEnabled, wantDeleteEnabled;
        int wantWeather;
    };
    const std::vector<Case> cases = {
        {"writing a day without a page", Page::None, CMD_SAVE, 0, true, true, false, 0},
        {"viewing a stored page", Page::Stored, CMD_EDIT, 1, false, false, true, 3},
        {"editing a stored page", Page::StoredBeingEdited, CMD_SAVE, 0, true, true, true, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Install install(Settings {});
        if (c.page != Page::None)
            install.writePage(Rig::kToday, 3, u"stored page");
        Rig rig(install);
        ASSERT_TRUE(rig.dialog.OnInitDialog());
        if (c.page == Page::StoredBeingEdited) {
            // What the edit command leaves behind.
            rig.dialog.editor.setEditable(true);
            for (auto& e : rig.dialog.skin.elements)
                if (e->command == CMD_EDIT) {
                    e->command = CMD_SAVE;
                    e->cell = 0;
                }
        }
        rig.p.dialogs.settingsScript = choose(u"BLUE", 2);
        rig.dialog.onCommand(CMD_SETTINGS, -1, -1);
        ASSERT_EQ(rig.dialog.settings.skinName, u"BLUE");
        ASSERT_FALSE(rig.dialog.skin.elements.empty()) << "the new skin was not loaded";

        const auto& edit = element(rig.dialog, {CMD_EDIT, CMD_SAVE});
        EXPECT_EQ(edit.command, c.wantEditCommand);
        EXPECT_EQ(edit.cell, c.wantEditCell);
        EXPECT_EQ(element(rig.dialog, {CMD_WEATHER}).enabled, c.wantWeatherEnabled);
        EXPECT_EQ(element(rig.dialog, {CMD_WEATHER}).cell, c.wantWeather);
        EXPECT_EQ(element(rig.dialog, {CMD_TIMESTAMP}).enabled, c.wantStampEnabled);
        EXPECT_EQ(element(rig.dialog, {CMD_DELETE}).enabled, c.wantDeleteEnabled);
        // Buttons that no page state governs stay as the skin made them.
        EXPECT_TRUE(element(rig.dialog, {CMD_NEXT_DAY}).enabled);
    }
}

TEST(SettingsCommand, ChosenSkinAndStyleAreStoredAndTheNextStampUsesTheStyle)
{
    Settings before;
    before.password = u"pw";
    Install install(before);
    Rig rig(install);
    ASSERT_TRUE(rig.dialog.OnInitDialog());
    rig.p.dialogs.settingsScript = choose(u"BLUE", 5);
    rig.dialog.onCommand(CMD_SETTINGS, -1, -1);

    Settings want = before;
    want.skinName = u"BLUE";
    want.timeFormat = 5;
    EXPECT_EQ(readFile(install.path("config.dat")), encodeConfig(want));

    rig.p.edit.setSelection(0, 0);
    rig.dialog.onCommand(CMD_TIMESTAMP, -1, -1);
    EXPECT_EQ(rig.dialog.editor.text, u"14 : 05 : 09 ");
}

TEST(SettingsCommand, CancelAfterANewPasswordKeepsTheOldOne)
{
    Settings before;
    before.usePassword = 1;
    before.password = u"old";
    Install install(before);
    Rig rig(install);
    rig.p.dialogs.passwordScript = [](PasswordDialog&) { return true; };
    ASSERT_TRUE(rig.dialog.OnInitDialog());
    const auto stored = readFile(install.path("config.dat"));
    rig.p.dialogs.newPasswordScript = [](NewPasswordDialog& d) {
        d.newPassword = u"new";
        return true;
    };
    rig.p.dialogs.settingsScript = [](SettingsDialog& d) {
        d.OnSetPassword();
        EXPECT_EQ(d.password, u"new");
        return false;
    };
    rig.dialog.onCommand(CMD_SETTINGS, -1, -1);
    EXPECT_EQ(rig.p.dialogs.newPasswordRuns, 1);
    EXPECT_EQ(rig.dialog.settings.password, u"old");
    EXPECT_EQ(readFile(install.path("config.dat")), stored);
}
