#include "app/Commands.h"
#include "app/MainDialog.h"
#include "base/ByteIo.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "fakes/Fakes.h"
#include "settings/ConfigFile.h"
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

constexpr LocalDate kToday {2026, 12, 7};

// An installed diary with the skins "default" and "Blue", started over the fakes.
struct Rig {
    explicit Rig(const Settings& settings, std::int32_t storedWeather = -1)
        : dialog(MainDialogPorts {p.window, p.messages, p.registry, p.exit, p.calendar, p.edit, p.graphics, p.clock,
                                  p.dialogs, p.softInput})
    {
        static int counter = 0;
        root = fs::temp_directory_path() / ("pagelet-settings-cmd-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(root);
        for (const char* skin : {"default", "Blue"}) {
            fs::create_directories(root / "skin" / skin);
            std::ofstream(root / "skin" / skin / "skin.skn") << "WEATHER: 20, 20\nBUTTON1: 20, 20\nBUTTON2: 24, 20\n";
        }
        fs::create_directories(root / "diary");
        EXPECT_TRUE(writeConfig(path("config.dat"), settings));
        if (storedWeather >= 0) { // a page for today
            ByteWriter w;
            w.putInt32(storedWeather);
            w.putInt32(4);
            w.putUnits(u"page");
            EXPECT_TRUE(writeFileAtomic(path("diary/20261207.dry"), w.bytes()));
        }
        p.registry.values[u"Program Path"] = fromUtf8(root.string());
        p.calendar.todayValue = fromLocal(kToday);
        p.dialogs.passwordScript = [](PasswordDialog&) { return true; };
        EXPECT_TRUE(dialog.OnInitDialog());
    }
    ~Rig() { fs::remove_all(root); }
    std::u16string path(const char* name) const { return fromUtf8((root / name).string()); }

    const SkinElement* button(int command) const
    {
        for (const auto& e : dialog.skin.elements)
            if (e->command == command || (command == CMD_EDIT && e->command == CMD_SAVE))
                return e.get();
        return nullptr;
    }

    fs::path root;
    FakePlatform p;
    MainDialog dialog;
};

} // namespace

TEST(SettingsCommand, NewSkinShowsTheShownPageState)
{
    enum class Page { None, Stored, StoredBeingEdited };
    struct Case {
        const char* name;
        Page page;
        int wantEditCommand, wantEditCell;
        bool wantEditing, wantDeleteEnabled;
        int wantWeather;
    };
    const std::vector<Case> cases = {
        {"writing a day without a page", Page::None, CMD_SAVE, 0, true, false, 0},
        {"viewing a stored page", Page::Stored, CMD_EDIT, 1, false, true, 3},
        {"editing a stored page", Page::StoredBeingEdited, CMD_SAVE, 0, true, true, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(Settings {}, c.page == Page::None ? -1 : 3);
        if (c.page == Page::StoredBeingEdited) { // what the edit command leaves behind
            rig.dialog.editor.setEditable(true);
            SkinElement* edit = const_cast<SkinElement*>(rig.button(CMD_EDIT));
            edit->command = CMD_SAVE;
            edit->cell = 0;
        }
        rig.p.dialogs.settingsScript = [](SettingsDialog& d) {
            d.skinName = u"BLUE";
            return true;
        };
        rig.dialog.onCommand(CMD_SETTINGS, -1, -1);
        EXPECT_EQ(rig.dialog.skinFolder(), rig.path("skin/Blue/"));
        ASSERT_TRUE(rig.button(CMD_EDIT) && rig.button(CMD_WEATHER) && rig.button(CMD_TIMESTAMP) && rig.button(CMD_DELETE));

        EXPECT_EQ(rig.button(CMD_EDIT)->command, c.wantEditCommand);
        EXPECT_EQ(rig.button(CMD_EDIT)->cell, c.wantEditCell);
        EXPECT_EQ(rig.button(CMD_WEATHER)->enabled, c.wantEditing);
        EXPECT_EQ(rig.button(CMD_WEATHER)->cell, c.wantWeather);
        EXPECT_EQ(rig.button(CMD_TIMESTAMP)->enabled, c.wantEditing);
        EXPECT_EQ(rig.button(CMD_DELETE)->enabled, c.wantDeleteEnabled);
        EXPECT_TRUE(rig.button(CMD_NEXT_DAY)->enabled); // no page state governs it
    }
}

TEST(SettingsCommand, CancelAfterANewPasswordKeepsTheOldOne)
{
    Settings before;
    before.usePassword = 1;
    before.password = u"old";
    Rig rig(before);
    const auto stored = readFile(rig.path("config.dat"));
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
    EXPECT_EQ(readFile(rig.path("config.dat")), stored);
}
