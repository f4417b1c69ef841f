// The dialogs as the main window runs them: the start-up gate and a change of settings.
#include "app/Commands.h"
#include "base/Day.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "fakes/Fakes.h"
#include "qt/PageletWindow.h"
#include "qt/QtDialog.h"
#include "qt/QtEditControl.h"
#include "settings/ConfigFile.h"
#include "settings/PasswordDialog.h"
#include "ui/SettingsDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pagelet;
using namespace pagelet::fakes;

namespace {

// A private settings store and an install with the skins "default" (grey) and "Blue".
class Install {
public:
    explicit Install(const Settings& settings)
    {
        qputenv("XDG_CONFIG_HOME", QDir(config.path()).absolutePath().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
        root = QDir(folder.path()).absolutePath();
        makeSkin("default", QColor(128, 128, 128));
        makeSkin("Blue", QColor(20, 40, 200));
        QDir().mkpath(root + "/diary");
        EXPECT_TRUE(writeConfig(fromQString(root + "/config.dat"), settings));
        QSettings registry(QSettings::NativeFormat, QSettings::UserScope, "Tarnwick", "Pagelet");
        registry.setValue("Program Path", root);
        registry.sync();
    }
    ~Install() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QDir::homePath() + "/.config"); }

    void makeSkin(const QString& name, QColor colour)
    {
        QDir().mkpath(root + "/skin/" + name);
        QImage back(240, 270, QImage::Format_RGB32);
        back.fill(colour);
        EXPECT_TRUE(back.save(root + "/skin/" + name + "/back.bmp", "BMP"));
    }

    QTemporaryDir config;
    QTemporaryDir folder;
    QString root;
};

// Acts on the modal dialog once its run has started.
void whenModal(std::function<void(QtDialog&)> act)
{
    QTimer::singleShot(0, [act] {
        if (auto* dialog = qobject_cast<QtDialog*>(QApplication::activeModalWidget()))
            act(*dialog);
        else
            ADD_FAILURE() << "no dialog is running";
    });
}

void enterPasswords(QtDialog& d, const std::vector<QString>& entries)
{
    auto* edit = qobject_cast<QLineEdit*>(d.control(PasswordDialog::kPasswordEdit));
    auto* ok = qobject_cast<QPushButton*>(d.control(kIdOk));
    ASSERT_TRUE(edit && ok);
    for (const auto& entry : entries) {
        ASSERT_TRUE(d.isVisible());
        edit->setText(entry);
        ok->click();
    }
}

} // namespace

TEST(DialogWindow, StartUpGateTakesThreeTries)
{
    const std::u16string mismatch = u"암호가 일치하지 않습니다.\n다시 입력하세요.";
    const std::u16string closing = u"프로그램을 종료합니다.";
    struct Case {
        const char* name;
        std::vector<QString> entries;
        bool wantStarted;
        std::vector<std::u16string> wantMessages;
    };
    const std::vector<Case> cases = {
        {"three wrong entries end the program", {"secret", "SECRET", "Secre"}, false, {mismatch, mismatch, closing}},
        {"right at the second try", {"x", "Secret"}, true, {mismatch}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Settings settings;
        settings.usePassword = 1;
        settings.password = u"Secret";
        Install install(settings);
        FakeMessageBox messages;
        FakeExit exit;
        WindowOverrides overrides;
        overrides.messages = &messages;
        overrides.exit = &exit;
        PageletWindow window(overrides);
        whenModal([&](QtDialog& d) { enterPasswords(d, c.entries); });
        EXPECT_EQ(window.start(), c.wantStarted);
        std::vector<std::u16string> shown;
        for (const auto& m : messages.shown)
            shown.push_back(m.text);
        EXPECT_EQ(shown, c.wantMessages);
        EXPECT_EQ(exit.exited, !c.wantStarted);
        EXPECT_EQ(exit.status, c.wantStarted ? -1 : 0);
    }
}

TEST(DialogWindow, SettingsChangeSwitchesTheSkinStoresAndStampsInTheNewStyle)
{
    Install install(Settings {});
    FakeMessageBox messages;
    FakeExit exit;
    FakeClock clock;
    clock.value = fromLocal({2026, 12, 7}, 9, 8, 7);
    WindowOverrides overrides;
    overrides.messages = &messages;
    overrides.exit = &exit;
    overrides.clock = &clock;
    PageletWindow window(overrides);
    ASSERT_TRUE(window.start());
    window.show();
    EXPECT_EQ(QColor(window.grab().toImage().pixel(120, 1)), QColor(128, 128, 128));

    whenModal([](QtDialog& d) {
        auto* skins = qobject_cast<QComboBox*>(d.control(SettingsDialog::kSkinList));
        auto* times = qobject_cast<QComboBox*>(d.control(SettingsDialog::kTimeFormatList));
        ASSERT_TRUE(skins && times);
        skins->setCurrentIndex(skins->findText("BLUE"));
        times->setCurrentIndex(4);
        qobject_cast<QPushButton*>(d.control(kIdOk))->click();
    });
    window.dialog().onCommand(CMD_SETTINGS, -1, -1);

    Settings want;
    want.skinName = u"BLUE";
    want.timeFormat = 4;
    EXPECT_EQ(readFile(fromQString(install.root + "/config.dat")), encodeConfig(want));
    EXPECT_EQ(QColor(window.grab().toImage().pixel(120, 1)), QColor(20, 40, 200));

    window.dialog().onCommand(CMD_TIMESTAMP, -1, -1);
    EXPECT_EQ(window.dialog().editor.text, u"A.M. 09 : 08 : 07 ");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(exit.exited);
}
