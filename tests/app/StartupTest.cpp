#include "platform/Commands.h"
#include "base/FileIo.h"
#include "store/PlainPageStore.h"
#include "base/Text.h"
#include "fakes/Fakes.h"
#include "settings/ConfigFile.h"
#include "settings/PasswordDialog.h"
#include "ui/SettingsDialog.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pagelet;
using namespace pagelet::fakes;
namespace fs = std::filesystem;

namespace {

// A MainDialog over the fakes and a temporary install: config.dat, skin/default/back.bmp, diary/.
struct Rig {
    explicit Rig(const Settings& config = {}, bool registered = true) : dialog(p.ports())
    {
        static int counter = 0;
        root = fs::temp_directory_path() / ("pagelet-startup-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(root);
        fs::create_directories(root / "skin" / "default");
        fs::create_directories(root / "diary");
        EXPECT_TRUE(writeConfig(path(u"config.dat"), config));
        std::ofstream(root / "skin" / "default" / "back.bmp") << "not really a bitmap";
        if (registered)
            p.registry.values[u"Program Path"] = fromUtf8(root.string());
        p.calendar.todayValue = fromLocal({2026, 12, 7});
    }
    ~Rig() { fs::remove_all(root); }
    std::u16string path(const std::u16string& name) const { return fromUtf8(root.string()) + u"/" + name; }

    fs::path root;
    FakePlatform p;
    MainDialog dialog;
};

} // namespace

TEST(Startup, ResolvesTheFoldersAndEndsWithItsMessageUnlessInstalledAndUnlocked)
{
    struct Case {
        const char* name;
        bool registered, config;
        const char16_t* dataPath; // as registered; the program's diary/ folder when absent
        std::int32_t usePassword;
        bool passes;
        std::u16string message; // none when the diary opens
    };
    const std::vector<Case> cases = {
        {"not installed", false, true, nullptr, 0, false, u"정상적으로 설치되지 않았습니다.\n다시 설치하시기 바랍니다."},
        {"no config.dat", true, false, nullptr, 0, false, u"설정파일이 존재하지 않습니다.\n다시 설치하시기 바랍니다."},
        {"password refused", true, true, u"pages", 1, false, u"프로그램을 종료합니다."},
        {"password passed", true, true, u"pages/", -7, true, u""}, // any non-zero value asks
        {"no password", true, true, nullptr, 0, false, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Settings s;
        s.usePassword = c.usePassword;
        s.password = u"Secret";
        Rig rig(s, c.registered);
        if (!c.config)
            fs::remove(rig.root / "config.dat");
        if (c.dataPath)
            rig.p.registry.values[u"Data Path"] = rig.path(c.dataPath);
        std::vector<std::pair<std::u16string, int>> prompts;
        rig.p.dialogs.script<PasswordDialog>([&](PasswordDialog& d) {
            prompts.emplace_back(d.storedPassword, d.triesLeft);
            EXPECT_TRUE(rig.p.graphics.loaded.empty()); // nothing of the skin loads behind the prompt
            return c.passes;
        });
        const bool opens = c.message.empty();
        EXPECT_EQ(rig.dialog.OnInitDialog(), opens);
        EXPECT_EQ(rig.p.exit.status, opens ? -1 : 0);
        EXPECT_EQ(rig.p.edit.created, opens);
        EXPECT_EQ(prompts.size(), c.usePassword ? 1u : 0u);
        if (!prompts.empty()) {
            EXPECT_EQ(prompts[0], std::make_pair(std::u16string(u"Secret"), 3));
        }
        const ShownMessage message {c.message, u"Pagelet", MessageButtons::Ok, MessageIcon::None};
        EXPECT_EQ(rig.p.messages.shown, opens ? std::vector<ShownMessage> {} : std::vector<ShownMessage> {message});
        if (c.registered) {
            EXPECT_EQ(rig.dialog.settings().programPath, rig.path(u""));
            EXPECT_EQ(rig.dialog.settings().dataPath, rig.path(c.dataPath ? u"pages/" : u"diary/"));
            EXPECT_EQ(rig.p.registry.values[u"Data Path"], rig.dialog.settings().dataPath);
        }
    }
}

TEST(Startup, OpensTodayWithTheFilesSettingsTheFontsLineHeightAndAFittedBackground)
{
    Settings s;
    s.autoKeyboard = 0;
    s.skinName = u"DEFAULT"; // the settings dialog hands names back in capitals
    s.timeFormat = 4;
    struct Case {
        Size client;
        int font;
        bool stretched;
        int lineHeight; // the font's from 6 to 30, else 14
    };
    const std::vector<Case> cases = {
        {{240, 270}, 6, false, 6}, {{240, 271}, 30, true, 30}, {{241, 100}, 5, true, 14}, {{200, 200}, 31, false, 14}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.font);
        Rig rig(s);
        rig.p.window.client = c.client;
        rig.p.graphics.fontHeight = c.font;
        ASSERT_TRUE(rig.dialog.OnInitDialog());
        EXPECT_EQ(rig.p.graphics.stretches, c.stretched ? 1 : 0);
        EXPECT_EQ(rig.dialog.skin().background->size(), c.stretched ? c.client : (Size {240, 270}));
        EXPECT_EQ(rig.dialog.editor().lineHeight, c.lineHeight);
        EXPECT_EQ(rig.dialog.settings().timeFormat, 4);
        EXPECT_FALSE(rig.dialog.editor().autoKeyboard);
        EXPECT_EQ(rig.dialog.day().selectedDay(), rig.p.calendar.todayValue);
        EXPECT_EQ(rig.dialog.day().previousDay(), rig.p.calendar.todayValue);
        EXPECT_EQ(rig.p.graphics.loaded.back(), rig.path(u"skin/default/back.bmp"));
        EXPECT_FALSE(rig.p.edit.readOnly); // no page today: an empty one, ready for typing
    }
}

TEST(SoftKeyboard, EditorStaysTwentyFivePixelsAboveThePanel)
{
    Rig rig;
    ASSERT_TRUE(rig.dialog.OnInitDialog());
    rig.dialog.skin().textArea = rig.dialog.editor().area = {3, 20, 237, 250};
    struct Step {
        bool on;
        int panelTop, wantBottom;
    };
    // A panel over nearly the whole window leaves the editor empty, never inside out.
    for (const auto& s : std::vector<Step> {{true, 200, 175}, {true, 300, 250}, {false, 0, 250}, {true, 30, 20}, {false, 0, 250}}) {
        SCOPED_TRACE(s.panelTop);
        const int invalidations = rig.p.window.wholeInvalidations;
        rig.dialog.onSoftInputPanelChanged(true, s.on, s.panelTop);
        EXPECT_EQ(rig.p.edit.area, (Rect {3, 20, 237, s.wantBottom}));
        EXPECT_EQ(rig.dialog.editor().area, rig.p.edit.area);
        EXPECT_EQ(rig.dialog.keyboard().isUp(), s.on);
        EXPECT_EQ(rig.p.window.wholeInvalidations, invalidations + 1);
    }
    // Nothing moves when the shell can't say, or without a text area.
    rig.dialog.onSoftInputPanelChanged(false, true, 100);
    rig.dialog.skin().textArea.right = rig.dialog.skin().textArea.left;
    rig.dialog.onSoftInputPanelChanged(true, true, 100);
    EXPECT_EQ(rig.p.edit.area.bottom, 250);
}

TEST(SoftKeyboard, HelperAsksTheShellOnlyOnChanges)
{
    FakeSoftInput panel;
    PanelKeyboard keyboard(panel);
    for (bool up : {true, true, false, false})
        keyboard.show(up);
    keyboard.setState(true); // learnt from the shell: no request
    keyboard.show(true);
    EXPECT_EQ(panel.raised, 1);
    EXPECT_EQ(panel.lowered, 1);
}

TEST(CloseDown, AsksOnlyWhenUnsavedAndSavesOnlyOnYes)
{
    struct Case {
        bool saved;
        MessageAnswer answer;
        bool wantFile;
    };
    // Cancel: Escape or the box's close button, which keep the window and its page.
    for (const auto& c : std::vector<Case> {{true, MessageAnswer::Yes, false},
                                            {false, MessageAnswer::No, false},
                                            {false, MessageAnswer::Yes, true},
                                            {false, MessageAnswer::Cancel, false}}) {
        Rig rig;
        ASSERT_TRUE(rig.dialog.OnInitDialog());
        rig.dialog.editor().setText(u"오늘은 맑음");
        rig.dialog.editor().saved = c.saved;
        rig.p.messages.answers.push_back(c.answer);
        EXPECT_EQ(rig.dialog.OnClose(), c.answer != MessageAnswer::Cancel);
        EXPECT_EQ(rig.dialog.editor().text, u"오늘은 맑음");
        const ShownMessage question {u"프로그램을 종료하기 전에\n데이터를 저장하시겠습니까?", u"Pagelet", MessageButtons::YesNo,
                                     MessageIcon::Question};
        EXPECT_EQ(rig.p.messages.shown, c.saved ? std::vector<ShownMessage> {} : std::vector<ShownMessage> {question});
        EXPECT_EQ(isFile(rig.dialog.day().pagePath(rig.dialog.day().selectedDay())), c.wantFile);
    }
}

// Storing and applying the settings is tried in the real window; here the paths it can't take.
TEST(SettingsCommand, AnUnwritableConfigIsReportedTheNewSettingsHoldAndCancelOnlyRepaints)
{
    for (const bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "config.dat can't be replaced" : "cancel");
        Rig rig;
        ASSERT_TRUE(rig.dialog.OnInitDialog());
        fs::remove(rig.root / "config.dat"); // a folder can't be replaced by a file
        fs::create_directories(rig.root / "config.dat" / "x");
        const auto loads = rig.p.graphics.loaded.size();
        const int invalidations = rig.p.window.wholeInvalidations;
        rig.dialog.editor().needsRedraw = false;
        rig.p.dialogs.script<SettingsDialog>([&](SettingsDialog& d) {
            EXPECT_EQ(d.programPath, rig.path(u""));
            d.autoKeyboard = 0;
            d.timeFormat = 2;
            d.dataPath = rig.path(u"pages"); // typed without its separator
            return ok;
        });
        rig.dialog.onCommand(CMD_SETTINGS, -1, -1);

        // Ending the run would lose the open page: the new settings hold until the next start.
        EXPECT_TRUE(fs::is_directory(rig.root / "config.dat" / "x"));
        EXPECT_FALSE(rig.p.exit.exited);
        const ShownMessage unsaved {u"설정을 저장할 수 없습니다.", u"Pagelet", MessageButtons::Ok, MessageIcon::Exclamation};
        EXPECT_EQ(rig.p.messages.shown, ok ? std::vector<ShownMessage> {unsaved} : std::vector<ShownMessage> {});
        EXPECT_EQ(rig.dialog.settings().timeFormat, ok ? 2 : 0);
        EXPECT_EQ(rig.dialog.editor().autoKeyboard, !ok);
        EXPECT_EQ(rig.dialog.settings().dataPath, rig.path(ok ? u"pages/" : u"diary/"));
        EXPECT_EQ(rig.p.registry.values[u"Data Path"], rig.dialog.settings().dataPath);
        EXPECT_EQ(rig.p.graphics.loaded.size() > loads, ok);
        EXPECT_TRUE(rig.dialog.editor().needsRedraw);
        EXPECT_EQ(rig.p.window.wholeInvalidations, invalidations + 1);
    }
}

// Another copy or a sync changes config.dat while this one runs, before and while the dialog is open.
TEST(SettingsCommand, ValuesChangedOutsideAreShownAndKeptUnlessTheDialogChangedThem)
{
    Rig rig;
    ASSERT_TRUE(rig.dialog.OnInitDialog());
    Settings outside;
    outside.timeFormat = 3;
    outside.skinName = u"other";
    ASSERT_TRUE(writeConfig(rig.path(u"config.dat"), outside));
    rig.p.dialogs.script<SettingsDialog>([&](SettingsDialog& d) {
        EXPECT_EQ(d.timeFormat, 3);
        EXPECT_EQ(d.skinName, u"other");
        d.timeFormat = 2;   // changed here and outside: ours
        d.autoKeyboard = 0; // changed here only
        outside.timeFormat = 1;
        outside.password = u"secret"; // changed outside only, while the dialog was open
        outside.usePassword = 1;
        EXPECT_TRUE(writeConfig(rig.path(u"config.dat"), outside));
        return true;
    });
    rig.dialog.onCommand(CMD_SETTINGS, -1, -1);

    Settings written;
    ConfigFile file;
    ASSERT_TRUE(file.open(rig.path(u"config.dat")));
    file.readFirst(written);
    file.readRest(written);
    for (const Settings* s : {&written, &rig.dialog.settings()}) {
        EXPECT_EQ(s->timeFormat, 2);
        EXPECT_EQ(s->autoKeyboard, 0);
        EXPECT_EQ(s->skinName, u"other");
        EXPECT_EQ(s->password, u"secret");
        EXPECT_EQ(s->usePassword, 1);
    }
}

TEST(SettingsCommand, ANewDataFolderGetsTheShownPageOnlyAfterItsOwnWasStored)
{
    for (const bool storable : {true, false}) {
        SCOPED_TRACE(storable ? "stored" : "the old folder can't be written");
        Rig rig;
        if (!storable) // a folder where the page would go: its store fails at the rename
            fs::create_directories(rig.root / "diary" / "20261207.dry");
        ASSERT_TRUE(rig.dialog.OnInitDialog());
        fs::create_directories(rig.root / "other");
        ASSERT_TRUE(writeFileAtomic(rig.path(u"other/20261207.dry"), encodePage({3, u"B"})));
        ASSERT_TRUE(writeFileAtomic(rig.path(u"other/20261201.dry"), encodePage({0, u"C"})));
        rig.p.calendar.range = {{2026, 11, 29}, {2027, 1, 9}, 3};
        rig.dialog.editor().setText(u"A");
        rig.dialog.editor().saved = false;
        rig.p.dialogs.script<SettingsDialog>([&](SettingsDialog& d) {
            d.dataPath = rig.path(u"other");
            d.timeFormat = 2;
            return true;
        });
        rig.dialog.onCommand(CMD_SETTINGS, 0, 0);

        // The other settings apply either way; the folder moves only once the page is safe.
        EXPECT_EQ(rig.dialog.settings().timeFormat, 2);
        const std::u16string folder = rig.path(storable ? u"other/" : u"diary/");
        EXPECT_EQ(rig.dialog.settings().dataPath, folder);
        EXPECT_EQ(rig.p.registry.values[u"Data Path"], folder);
        EXPECT_EQ(readFile(rig.path(u"diary/20261207.dry")), storable ? std::optional(encodePage({0, u"A"})) : std::nullopt);
        EXPECT_EQ(readFile(rig.path(u"other/20261207.dry")), encodePage({3, u"B"}));
        EXPECT_EQ(rig.dialog.editor().text, storable ? u"B" : u"A");
        EXPECT_EQ(rig.dialog.day().weather(), storable ? 3 : 0);
        EXPECT_EQ(rig.dialog.editor().editable, !storable);
        const std::vector<std::uint32_t> newMarks {0, 1u | 1u << 6, 0}, notRescanned {};
        EXPECT_EQ(rig.p.calendar.masks, storable ? newMarks : notRescanned);
        const ShownMessage failed {u"일기를 저장할 수 없습니다.\n데이터 폴더를 확인하시기 바랍니다.", u"Pagelet", MessageButtons::Ok,
                                   MessageIcon::Exclamation};
        EXPECT_EQ(rig.p.messages.shown, storable ? std::vector<ShownMessage> {} : std::vector<ShownMessage> {failed});
    }
}

TEST(Startup, AFifoNamedConfigDatIsNoSettingsFileAndNeverBlocks)
{
    Rig rig;
    fs::remove(rig.root / "config.dat");
    ASSERT_EQ(::mkfifo((rig.root / "config.dat").c_str(), 0600), 0);
    // A blocking open would wait for a writer forever: start up in a child and time it out.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool opened = rig.dialog.OnInitDialog();
        const ShownMessage message {u"설정파일이 존재하지 않습니다.\n다시 설치하시기 바랍니다.", u"Pagelet", MessageButtons::Ok,
                                    MessageIcon::None};
        ::_exit(!opened && rig.p.exit.status == 0 && rig.p.messages.shown == std::vector<ShownMessage> {message} ? 0 : 1);
    }
    int status = 0;
    pid_t done = 0;
    for (int waited = 0; waited < 1000 && done == 0; ++waited) { // 10 s
        done = ::waitpid(child, &status, WNOHANG);
        if (done == 0)
            ::usleep(10000);
    }
    if (done == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "start-up hung on the FIFO";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
