#include "fakes/Fakes.h"
#include "qt/PageletWindow.h"
#include "qt/QtEditControl.h"
#include "qt/QtMonthCalendar.h"
#include "settings/ConfigFile.h"
#include "base/Text.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagelet;

namespace {

// A private settings store and install folder for one test.
class TempInstall {
public:
    TempInstall()
    {
        qputenv("XDG_CONFIG_HOME", QDir(config.path()).absolutePath().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
        root = QDir(install.path()).absolutePath();
    }
    ~TempInstall()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QDir::homePath() + "/.config");
    }

    void makeInstall(QColor background)
    {
        QDir().mkpath(root + "/skin/default");
        QDir().mkpath(root + "/diary");
        QImage back(240, 270, QImage::Format_RGB32);
        back.fill(background);
        ASSERT_TRUE(back.save(root + "/skin/default/back.bmp", "BMP"));
        ASSERT_TRUE(writeConfig(fromQString(root + "/config.dat"), Settings {}));
        QSettings registry(QSettings::NativeFormat, QSettings::UserScope, "Tarnwick", "Pagelet");
        registry.setValue("Program Path", root);
        registry.sync();
    }

    QTemporaryDir config;
    QTemporaryDir install;
    QString root;
};

} // namespace

TEST(MainWindow, StartsOnATemporaryInstallShowsTheBackgroundAndCloses)
{
    TempInstall temp;
    temp.makeInstall(QColor(200, 180, 40));
    fakes::FakeMessageBox messages;
    fakes::FakeExit exit;
    WindowOverrides overrides;
    overrides.messages = &messages;
    overrides.exit = &exit;
    PageletWindow window(overrides);
    ASSERT_TRUE(window.start());
    window.show();
    EXPECT_EQ(window.windowTitle(), "Pagelet");
    EXPECT_EQ(window.width(), 240);
    EXPECT_EQ(window.height(), 270);
    EXPECT_FALSE(window.calendar().isVisible());
    EXPECT_TRUE(window.editControl().isVisible());

    const QImage shot = window.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(1, 1)), QColor(200, 180, 40));

    // Start-up stored the resolved data folder, with its separator.
    QSettings registry(QSettings::NativeFormat, QSettings::UserScope, "Tarnwick", "Pagelet");
    EXPECT_EQ(registry.value("Data Path").toString(), temp.root + "/diary/");

    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(exit.exited);
}

TEST(MainWindow, WithoutAnInstallTheMessageShowsAndTheProgramEnds)
{
    TempInstall temp;
    fakes::FakeMessageBox messages;
    fakes::FakeExit exit;
    WindowOverrides overrides;
    overrides.messages = &messages;
    overrides.exit = &exit;
    PageletWindow window(overrides);
    EXPECT_FALSE(window.start());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, u"정상적으로 설치되지 않았습니다.\n다시 설치하시기 바랍니다.");
    EXPECT_TRUE(exit.exited);
    EXPECT_EQ(exit.status, 0);
    QSettings registry(QSettings::NativeFormat, QSettings::UserScope, "Tarnwick", "Pagelet");
    EXPECT_TRUE(registry.contains("Program Path"));
    EXPECT_EQ(registry.value("Program Path").toString(), "");
}
