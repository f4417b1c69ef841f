#include "app/Commands.h"
#include "app/MainDialog.h"
#include "app/SoftKeyboard.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "fakes/Fakes.h"
#include "settings/ConfigFile.h"
#include "settings/PasswordDialog.h"
#include "ui/SettingsDialog.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace pagelet;
using namespace pagelet::fakes;
namespace fs = std::filesystem;

namespace {

const std::u16string kInstallMessage = u"정상적으로 설치되지 않았습니다.\n다시 설치하시기 바랍니다.";
const std::u16string kConfigMessage = u"설정파일이 존재하지 않습니다.\n다시 설치하시기 바랍니다.";
const std::u16string kClosingMessage = u"프로그램을 종료합니다.";

// A temporary install folder: config.dat, skin/default/back.bmp and diary/.
class Install {
public:
    Install()
    {
        static int counter = 0;
        root = fs::temp_directory_path() / ("pagelet-startup-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(root);
        fs::create_directories(root / "skin" / "default");
        fs::create_directories(root / "diary");
        writeConfig(Settings {});
        std::ofstream(root / "skin" / "default" / "back.bmp") << "not really a bitmap";
    }
    ~Install() { fs::remove_all(root); }

    void writeConfig(const Settings& s) { ASSERT_TRUE(pagelet::writeConfig(path(u"config.dat"), s)); }
    std::u16string path(const std::u16string& name = u"") const { return fromUtf8(root.string()) + u"/" + name; }
    std::u16string registered() const { return fromUtf8(root.string()); }

    fs::path root;
};

struct Rig {
    Rig()
        : dialog(MainDialogPorts {p.window, p.messages, p.registry, p.exit, p.calendar, p.edit, p.graphics, p.clock,
                                  p.dialogs, p.softInput})
    {
        p.calendar.todayValue = fromLocal({2026, 12, 7});
    }
    FakePlatform p;
    MainDialog dialog;
};

} // namespace

TEST(Startup, MissingProgramPathStoresItEmptyAndEndsWithTheInstallMessage)
{
    Rig rig;
    EXPECT_FALSE(rig.dialog.OnInitDialog());
    ASSERT_EQ(rig.p.messages.shown.size(), 1u);
    EXPECT_EQ(rig.p.messages.shown[0].text, kInstallMessage);
    EXPECT_EQ(rig.p.messages.shown[0].caption, u"Pagelet");
    EXPECT_EQ(rig.p.messages.shown[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(rig.p.exit.exited);
    EXPECT_EQ(rig.p.exit.status, 0);
    ASSERT_TRUE(rig.p.registry.values.count(u"Program Path"));
    EXPECT_EQ(rig.p.registry.values[u"Program Path"], u"");
    EXPECT_EQ(rig.p.registry.closeCount, rig.p.registry.openCount);
    EXPECT_FALSE(rig.p.edit.created);
}

TEST(Startup, ResolvesProgramAndDataPaths)
{
    struct Case {
        std::u16string program, data, wantProgram, wantData;
    };
    const std::vector<Case> cases = {
        {u"/opt/Diary", u"", u"/opt/Diary/", u"/opt/Diary/diary/"},
        {u"/opt/Diary/", u"", u"/opt/Diary//", u"/opt/Diary//diary/"},
        {u"/opt/Diary", u"/home/me/Diary", u"/opt/Diary/", u"/home/me/Diary/"},
        {u"/opt/Diary", u"/home/me/Diary/", u"/opt/Diary/", u"/home/me/Diary/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.program + u" | " + c.data));
        Rig rig;
        rig.p.registry.values[u"Program Path"] = c.program;
        if (!c.data.empty())
            rig.p.registry.values[u"Data Path"] = c.data;
        // No config.dat there: the start-up ends after resolving the folders.
        EXPECT_FALSE(rig.dialog.OnInitDialog());
        EXPECT_EQ(rig.dialog.settings.programPath, c.wantProgram);
        EXPECT_EQ(rig.dialog.settings.dataPath, c.wantData);
        EXPECT_EQ(rig.p.registry.values[u"Data Path"], c.wantData);
        ASSERT_EQ(rig.p.messages.shown.size(), 1u);
        EXPECT_EQ(rig.p.messages.shown[0].text, kConfigMessage);
        EXPECT_TRUE(rig.p.exit.exited);
        EXPECT_EQ(rig.p.exit.status, 0);
    }
}

TEST(Startup, PasswordGateRunsOnlyWhenOnAndEndsTheProgramUnlessPassed)
{
    struct Case {
        const char* name;
        std::int32_t usePassword;
        bool passes;
        int wantRuns;
        bool wantExit;
    };
    const std::vector<Case> cases = {
        {"off", 0, false, 0, false},
        {"on and passed", 1, true, 1, false},
        {"on and failed", 1, false, 1, true},
        {"any non-zero value is on", -7, true, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Install install;
        Settings s;
        s.usePassword = c.usePassword;
        s.password = u"Secret";
        install.writeConfig(s);
        Rig rig;
        rig.p.registry.values[u"Program Path"] = install.registered();
        std::u16string seenPassword;
        int seenTries = 0;
        rig.p.dialogs.passwordScript = [&](PasswordDialog& d) {
            seenPassword = d.storedPassword;
            seenTries = d.triesLeft;
            // Nothing of the skin is loaded while the prompt is up.
            EXPECT_TRUE(rig.p.graphics.loaded.empty());
            return c.passes;
        };
        EXPECT_EQ(rig.dialog.OnInitDialog(), !c.wantExit);
        EXPECT_EQ(rig.p.dialogs.passwordRuns, c.wantRuns);
        EXPECT_EQ(rig.p.exit.exited, c.wantExit);
        if (c.wantRuns) {
            EXPECT_EQ(seenPassword, u"Secret");
            EXPECT_EQ(seenTries, 3);
        }
        if (c.wantExit) {
            ASSERT_EQ(rig.p.messages.shown.size(), 1u);
            EXPECT_EQ(rig.p.messages.shown[0].text, kClosingMessage);
            EXPECT_FALSE(rig.p.edit.created);
        } else {
            EXPECT_TRUE(rig.p.messages.shown.empty());
            EXPECT_TRUE(rig.p.edit.created);
        }
    }
}

TEST(Startup, BackgroundIsStretchedOnlyBeyond240By270)
{
    struct Case {
        Size client;
        bool stretched;
    };
    const std::vector<Case> cases = {
        {{240, 270}, false}, {{240, 268}, false}, {{200, 200}, false},
        {{240, 271}, true},  {{241, 100}, true},  {{480, 540}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.client.width) + "x" + std::to_string(c.client.height));
        Install install;
        Rig rig;
        rig.p.window.client = c.client;
        rig.p.registry.values[u"Program Path"] = install.registered();
        ASSERT_TRUE(rig.dialog.OnInitDialog());
        ASSERT_TRUE(rig.dialog.skin.background);
        EXPECT_EQ(rig.p.graphics.stretches, c.stretched ? 1 : 0);
        if (c.stretched) {
            EXPECT_EQ(rig.dialog.skin.background->size(), c.client);
        }
    }
}

TEST(Startup, StartsWithTheSettingsOfTheFileAndTheCalendarsToday)
{
    Install install;
    Settings s;
    s.autoKeyboard = 0;
    s.skinName = u"DEFAULT"; // the settings dialog hands names back in capitals
    s.timeFormat = 4;
    install.writeConfig(s);
    Rig rig;
    rig.p.registry.values[u"Program Path"] = install.registered();
    rig.p.graphics.fontHeight = 17;
    ASSERT_TRUE(rig.dialog.OnInitDialog());
    EXPECT_EQ(rig.dialog.settings.timeFormat, 4);
    EXPECT_FALSE(rig.dialog.editor.autoKeyboard);
    EXPECT_EQ(rig.dialog.editor.lineHeight, 17);
    EXPECT_EQ(rig.dialog.selectedDay, rig.p.calendar.todayValue);
    EXPECT_EQ(rig.dialog.previousDay, rig.p.calendar.todayValue);
    // The skin folder was found although its name differs in case.
    ASSERT_FALSE(rig.p.graphics.loaded.empty());
    EXPECT_NE(rig.p.graphics.loaded.back().find(u"/skin/default/back.bmp"), std::u16string::npos);
    // No page today: an empty page, ready for typing.
    EXPECT_TRUE(rig.dialog.editor.editable);
    EXPECT_FALSE(rig.p.edit.readOnly);
    EXPECT_EQ(rig.p.registry.closeCount, rig.p.registry.openCount);
}

TEST(Startup, LineHeightComesFromTheSystemFontWithinSixToThirty)
{
    const std::vector<std::pair<int, int>> cases = {{5, 14}, {6, 6}, {14, 14}, {30, 30}, {31, 14}, {-12, 14}, {0, 14}};
    for (auto [font, want] : cases)
        EXPECT_EQ(lineHeightFor(font), want) << font;
}

TEST(SoftKeyboard, EditorStaysTwentyFivePixelsAboveThePanel)
{
    Install install;
    Rig rig;
    rig.p.registry.values[u"Program Path"] = install.registered();
    ASSERT_TRUE(rig.dialog.OnInitDialog());
    rig.dialog.skin.textArea = {3, 20, 237, 250};
    rig.dialog.editor.area = rig.dialog.skin.textArea;

    struct Step {
        bool on;
        int panelTop;
        int wantBottom;
        bool wantUp;
    };
    const std::vector<Step> steps = {
        {true, 200, 175, true}, {true, 300, 250, true}, {false, 0, 250, false}, {true, 30, 20, true}, {false, 0, 250, false}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.panelTop);
        const int before = rig.p.window.wholeInvalidations;
        rig.dialog.onSoftInputPanelChanged(true, s.on, s.panelTop);
        EXPECT_EQ(rig.dialog.editor.area.bottom, s.wantBottom);
        EXPECT_EQ(rig.p.edit.area.bottom, s.wantBottom);
        EXPECT_EQ(rig.dialog.editor.area.top, 20);
        EXPECT_EQ(softKeyboardIsUp(), s.wantUp);
        EXPECT_EQ(rig.p.window.wholeInvalidations, before + 1);
    }

    // Without a text area, or when the shell can't say, nothing moves.
    rig.dialog.onSoftInputPanelChanged(false, true, 100);
    EXPECT_EQ(rig.dialog.editor.area.bottom, 250);
    rig.dialog.skin.textArea.right = rig.dialog.skin.textArea.left;
    rig.dialog.onSoftInputPanelChanged(true, true, 100);
    EXPECT_EQ(rig.dialog.editor.area.bottom, 250);
}

TEST(SoftKeyboard, HelperAsksTheShellOnlyOnChanges)
{
    FakeSoftInput panel;
    setSoftKeyboardOwner(&panel);
    setSoftKeyboardState(false);
    showSoftKeyboard(true);
    showSoftKeyboard(true);
    showSoftKeyboard(false);
    showSoftKeyboard(false);
    setSoftKeyboardState(true); // learnt from the shell: no request
    showSoftKeyboard(true);
    EXPECT_EQ(panel.raised, 1);
    EXPECT_EQ(panel.lowered, 1);
    setSoftKeyboardOwner(nullptr);
    {
        // A window that goes away takes its panel out of the helper.
        FakePlatform p;
        {
            MainDialog dialog(MainDialogPorts {p.window, p.messages, p.registry, p.exit, p.calendar, p.edit, p.graphics,
                                               p.clock, p.dialogs, p.softInput});
            setSoftKeyboardOwner(&p.softInput);
        }
        EXPECT_EQ(softKeyboardOwner(), nullptr);
    }
    setSoftKeyboardState(false);
}

TEST(CloseDown, AsksOnlyWhenUnsavedAndSavesOnlyOnYes)
{
    struct Case {
        const char* name;
        bool saved;
        MessageAnswer answer;
        bool wantQuestion;
        bool wantFile;
    };
    const std::vector<Case> cases = {
        {"saved", true, MessageAnswer::Yes, false, false},
        {"unsaved, No", false, MessageAnswer::No, true, false},
        {"unsaved, Yes", false, MessageAnswer::Yes, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Install install;
        Rig rig;
        rig.p.registry.values[u"Program Path"] = install.registered();
        ASSERT_TRUE(rig.dialog.OnInitDialog());
        rig.p.edit.content = u"오늘은 맑음";
        rig.dialog.editor.OnChange();
        rig.dialog.editor.saved = c.saved;
        rig.p.messages.answers.push_back(c.answer);
        EXPECT_TRUE(rig.dialog.OnClose());
        EXPECT_EQ(rig.p.messages.shown.size(), c.wantQuestion ? 1u : 0u);
        if (c.wantQuestion) {
            EXPECT_EQ(rig.p.messages.shown[0].text, u"프로그램을 종료하기 전에\n데이터를 저장하시겠습니까?");
            EXPECT_EQ(rig.p.messages.shown[0].buttons, MessageButtons::YesNo);
            EXPECT_EQ(rig.p.messages.shown[0].icon, MessageIcon::Question);
        }
        EXPECT_EQ(isFile(rig.dialog.pagePath(rig.dialog.selectedDay)), c.wantFile);
    }
}

TEST(SettingsCommand, OkStoresTheRecordByteExactAndTheDataPathWithItsSeparator)
{
    Install install;
    Rig rig;
    rig.p.registry.values[u"Program Path"] = install.registered();
    ASSERT_TRUE(rig.dialog.OnInitDialog());
    const std::u16string newData = install.path(u"diary");
    rig.p.dialogs.settingsScript = [&](SettingsDialog& d) {
        EXPECT_EQ(d.programPath, install.registered() + u"/");
        d.usePassword = 1;
        d.autoKeyboard = 0;
        d.password = u"abcd";
        d.skinName = u"DEFAULT";
        d.timeFormat = 2;
        d.dataPath = newData; // typed without the final separator
        return true;
    };
    const int before = rig.p.window.wholeInvalidations;
    rig.dialog.onCommand(CMD_SETTINGS, -1, -1);

    const auto bytes = readFile(install.path(u"config.dat"));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 20u + 2 * 4 + 2 * 7);
    Settings want;
    want.usePassword = 1;
    want.autoKeyboard = 0;
    want.password = u"abcd";
    want.skinName = u"DEFAULT";
    want.timeFormat = 2;
    EXPECT_EQ(*bytes, encodeConfig(want));
    EXPECT_EQ(rig.p.registry.values[u"Data Path"], newData + u"/");
    EXPECT_EQ(rig.dialog.settings.dataPath, newData + u"/");
    EXPECT_FALSE(rig.dialog.editor.autoKeyboard);
    EXPECT_TRUE(rig.dialog.editor.needsRedraw);
    EXPECT_GT(rig.p.window.wholeInvalidations, before);
    EXPECT_TRUE(rig.p.messages.shown.empty());
}

TEST(SettingsCommand, CancelWritesNothingButRepaints)
{
    Install install;
    Rig rig;
    rig.p.registry.values[u"Program Path"] = install.registered();
    ASSERT_TRUE(rig.dialog.OnInitDialog());
    const auto before = readFile(install.path(u"config.dat"));
    const auto loads = rig.p.graphics.loaded.size();
    rig.dialog.editor.needsRedraw = false;
    rig.p.dialogs.settingsScript = [](SettingsDialog& d) {
        d.timeFormat = 5;
        return false;
    };
    const int invalidations = rig.p.window.wholeInvalidations;
    rig.dialog.onCommand(CMD_SETTINGS, -1, -1);
    EXPECT_EQ(readFile(install.path(u"config.dat")), before);
    EXPECT_EQ(rig.dialog.settings.timeFormat, 0);
    EXPECT_EQ(rig.p.graphics.loaded.size(), loads);
    EXPECT_TRUE(rig.dialog.editor.needsRedraw);
    EXPECT_EQ(rig.p.window.wholeInvalidations, invalidations + 1);
}

TEST(SettingsCommand, UnwritableSettingsFileIsReportedAndTheProgramGoesOn)
{
    Install install;
    Rig rig;
    rig.p.registry.values[u"Program Path"] = install.registered();
    ASSERT_TRUE(rig.dialog.OnInitDialog());
    // A folder can't be replaced by a file, so the rename over it fails.
    fs::remove(install.root / "config.dat");
    fs::create_directories(install.root / "config.dat" / "x");
    rig.p.dialogs.settingsScript = [](SettingsDialog& d) {
        d.timeFormat = 5;
        return true;
    };
    rig.dialog.onCommand(CMD_SETTINGS, -1, -1);
    EXPECT_FALSE(rig.p.exit.exited);
    ASSERT_EQ(rig.p.messages.shown.size(), 1u);
    EXPECT_EQ(rig.p.messages.shown[0].text, u"설정을 저장할 수 없습니다.");
    EXPECT_EQ(rig.p.messages.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(rig.dialog.settings.timeFormat, 5); // the new settings hold for this run
    EXPECT_TRUE(fs::is_directory(install.root / "config.dat" / "x"));
}
