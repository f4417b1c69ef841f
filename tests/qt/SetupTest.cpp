#include "base/Text.h"
#include "qt/QtGraphics.h"
#include "settings/ConfigFile.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagelet;

namespace {

struct SetupRun {
    int status = -1;
    QString output;
};

class SetupRig {
public:
    SetupRig()
    {
        // A resource folder of our own, so the test doesn't depend on the shipped skins.
        QDir().mkpath(res.path() + "/skins/default");
        QDir().mkpath(res.path() + "/skins/Blue");
        QImage(240, 270, QImage::Format_RGB32).save(res.path() + "/skins/default/back.bmp", "BMP");
        QFile skn(res.path() + "/skins/Blue/skin.skn");
        skn.open(QIODevice::WriteOnly);
        skn.write("NUMBER:8,14\r\n");
    }

    SetupRun run(QStringList args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config.path());
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        args << "--resources" << res.path();
        p.start(PAGELET_SETUP_BIN, args);
        p.waitForFinished(20000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
    }

    QString registryValue(const QString& name)
    {
        QSettings s(config.path() + "/Tarnwick/Pagelet.conf", QSettings::IniFormat);
        return s.value(name).toString();
    }

    QTemporaryDir config, res, target;
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

TEST(Setup, MakesAFreshInstallAndRegistersIt)
{
    SetupRig rig;
    const QString dir = rig.target.path() + "/Pagelet";
    const SetupRun r = rig.run({"--program-path", dir + "/"});
    ASSERT_EQ(r.status, 0) << r.output.toStdString();
    const QByteArray config = readAll(dir + "/config.dat");
    const Bytes want = encodeConfig(Settings {});
    EXPECT_EQ(config, QByteArray(reinterpret_cast<const char*>(want.data()), static_cast<qsizetype>(want.size())));
    EXPECT_EQ(config.size(), 20 + 2 * 7);
    EXPECT_TRUE(QFile::exists(dir + "/skin/default/back.bmp"));
    EXPECT_TRUE(QFile::exists(dir + "/skin/Blue/skin.skn"));
    EXPECT_TRUE(QDir(dir + "/diary").exists());
    EXPECT_EQ(rig.registryValue("Program Path"), dir); // without the final separator
    EXPECT_EQ(rig.registryValue("Data Path"), "");
}

TEST(Setup, SecondRunKeepsEverythingThatIsThere)
{
    SetupRig rig;
    const QString dir = rig.target.path() + "/Pagelet";
    ASSERT_EQ(rig.run({"--program-path", dir}).status, 0);
    Settings mine;
    mine.skinName = u"Blue";
    ASSERT_TRUE(writeConfig(fromQString(dir + "/config.dat"), mine));
    QFile page(dir + "/diary/20261207.dry");
    page.open(QIODevice::WriteOnly);
    page.write("page");
    page.close();
    QFile skn(dir + "/skin/Blue/skin.skn");
    skn.open(QIODevice::WriteOnly | QIODevice::Truncate);
    skn.write("edited by the user");
    skn.close();
    const QByteArray before = readAll(dir + "/config.dat");

    const SetupRun again = rig.run({"--program-path", dir, "--data-path", rig.target.path() + "/pages"});
    ASSERT_EQ(again.status, 0) << again.output.toStdString();
    EXPECT_EQ(readAll(dir + "/config.dat"), before);
    EXPECT_EQ(readAll(dir + "/diary/20261207.dry"), QByteArray("page"));
    EXPECT_EQ(readAll(dir + "/skin/Blue/skin.skn"), QByteArray("edited by the user"));
    EXPECT_EQ(rig.registryValue("Data Path"), rig.target.path() + "/pages");
    EXPECT_TRUE(QDir(rig.target.path() + "/pages").exists());

    // Once installed, the run command's demo install leaves it alone.
    const SetupRun unless = rig.run({"--program-path", rig.target.path() + "/elsewhere", "--unless-installed"});
    EXPECT_EQ(unless.status, 0);
    EXPECT_FALSE(QDir(rig.target.path() + "/elsewhere").exists());
    EXPECT_EQ(rig.registryValue("Program Path"), dir);
}

TEST(Setup, RefusesBadArgumentsAndUnwritableFolders)
{
    SetupRig rig;
    QFile blocker(rig.target.path() + "/file");
    blocker.open(QIODevice::WriteOnly);
    blocker.close();
    const std::vector<QStringList> bad = {
        {},
        {"--program-path"},
        {"--frobnicate"},
        {"--program-path", rig.target.path() + "/file"},
        {"--program-path", rig.target.path() + "/file/inside"},
    };
    for (const auto& args : bad) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const SetupRun r = rig.run(args);
        EXPECT_NE(r.status, 0);
        EXPECT_TRUE(r.output.contains("pagelet-setup:")) << r.output.toStdString();
    }
    EXPECT_EQ(rig.registryValue("Program Path"), "");
}
