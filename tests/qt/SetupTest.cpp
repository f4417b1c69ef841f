#include "base/Text.h"
#include "qt/graphics/QtGraphics.h"
#include "qt/ports/QtPlatform.h"
#include "settings/ConfigFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>

using namespace pagelet;

namespace {

// pagelet-setup run with a private settings store, installing the skins we ship.
struct SetupRig {
    int run(const QStringList& args, QString* output = nullptr)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config.path());
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(PAGELET_SETUP_BIN, args);
        p.waitForFinished(20000);
        if (output)
            *output = QString::fromUtf8(p.readAll());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    QString registry(const char* name)
    {
        return QSettings(config.path() + "/Tarnwick/Pagelet.conf", QSettings::IniFormat).value(name).toString();
    }

    QTemporaryDir config, target;
    const QString dir = target.path() + "/Pagelet";
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

} // namespace

TEST(Setup, MakesAFreshInstallWithTheThreeSkinsAndRegistersIt)
{
    SetupRig rig;
    QString output;
    ASSERT_EQ(rig.run({"--program-path", rig.dir + "/"}, &output), 0) << output.toStdString();
    const Bytes fresh = encodeConfig(Settings {});
    EXPECT_EQ(readAll(rig.dir + "/config.dat"), QByteArray(reinterpret_cast<const char*>(fresh.data()), qsizetype(fresh.size())));
    for (const char* skin : {"default", "Blue", "Wood"})
        for (const char* file : {"skin.skn", "back.bmp", "etc.bmp", "number.bmp", "weekday.bmp", "weather.bmp",
                                 "button1.bmp", "button2.bmp"})
            EXPECT_TRUE(QFileInfo(rig.dir + "/skin/" + skin + "/" + file).isFile()) << skin << "/" << file;
    EXPECT_TRUE(QFileInfo(rig.dir + "/diary").isDir());
    // The pages and the password are the owner's alone.
    const auto mode = [](const QString& path) { return std::filesystem::status(path.toStdString()).permissions(); };
    EXPECT_EQ(mode(rig.dir + "/diary"), std::filesystem::perms::owner_all);
    EXPECT_EQ(mode(rig.dir + "/config.dat"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(rig.registry("Program Path"), rig.dir); // without the final separator
    EXPECT_EQ(rig.registry("Data Path"), "");
}

TEST(Setup, SecondRunKeepsEverythingThatIsThere)
{
    SetupRig rig;
    ASSERT_EQ(rig.run({"--program-path", rig.dir}), 0);
    Settings mine;
    mine.skinName = u"Blue";
    ASSERT_TRUE(writeConfig(fromQString(rig.dir + "/config.dat"), mine));
    const QByteArray config = readAll(rig.dir + "/config.dat");
    write(rig.dir + "/diary/20261207.dry", "page");
    write(rig.dir + "/skin/Blue/skin.skn", "edited by the user");

    const QString pages = rig.target.path() + "/pages";
    ASSERT_EQ(rig.run({"--program-path", rig.dir, "--data-path", pages}), 0);
    EXPECT_EQ(readAll(rig.dir + "/config.dat"), config);
    EXPECT_EQ(readAll(rig.dir + "/diary/20261207.dry"), "page");
    EXPECT_EQ(readAll(rig.dir + "/skin/Blue/skin.skn"), "edited by the user");
    EXPECT_EQ(rig.registry("Data Path"), pages);
    EXPECT_TRUE(QFileInfo(pages).isDir());

    // Once installed, the run command's demo install leaves it alone.
    EXPECT_EQ(rig.run({"--program-path", rig.target.path() + "/elsewhere", "--unless-installed"}), 0);
    EXPECT_FALSE(QFileInfo::exists(rig.target.path() + "/elsewhere"));
    EXPECT_EQ(rig.registry("Program Path"), rig.dir);
}

// The window keeps its settings open for every reader of a start, yet a first start still sees
// the install that pagelet-setup registers meanwhile, and a value written by one reader is read
// by the next.
TEST(Setup, KeptSettingsSeeTheInstallRegisteredMeanwhile)
{
    SetupRig rig;
    const QByteArray before = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", rig.config.path().toUtf8());
    {
        QtRegistry::Kept kept;
        const auto programPath = [] {
            QtRegistry registry;
            EXPECT_TRUE(registry.open(u"Software"));
            return registry.read(u"Program Path");
        };
        EXPECT_FALSE(programPath().has_value());
        ASSERT_EQ(rig.run({"--program-path", rig.dir}), 0);
        const auto found = programPath();
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(QDir(toQString(*found)), QDir(rig.dir));

        QtRegistry writer, reader;
        writer.open(u"Software");
        EXPECT_TRUE(writer.write(u"Zoom", u"150"));
        writer.close();
        reader.open(u"Software");
        EXPECT_EQ(reader.read(u"Zoom").value_or(u""), u"150");
    }
    EXPECT_EQ(rig.registry("Zoom"), "150");
    qputenv("XDG_CONFIG_HOME", before);
}
