// pagelet-setup: makes an install folder the diary can start from.
#include "base/FileIo.h"
#include "base/Text.h"
#include "settings/ConfigFile.h"
#include "settings/RegistryNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <cstdio>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "pagelet-setup: %s\n", qPrintable(message));
    return 1;
}

void say(const QString& message)
{
    std::printf("%s\n", qPrintable(message));
}

bool copyTree(const QString& from, const QString& to, QString& error)
{
    if (!QDir().mkpath(to)) {
        error = QString("cannot create %1").arg(to);
        return false;
    }
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + "/" + it.fileName();
        if (it.fileInfo().isDir()) {
            if (!copyTree(src, dst, error))
                return false;
        } else if (!QFile::exists(dst) && !QFile::copy(src, dst)) {
            error = QString("cannot copy %1 to %2").arg(src, dst);
            return false;
        }
    }
    return true;
}

// An installed copy takes its skins from share/pagelet beside its bin folder; a build in the
// source tree takes them from the sources.
QString defaultResources()
{
    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/" PAGELET_SHARE_FROM_BIN);
    if (QFileInfo(installed + "/skins").isDir())
        return installed;
    return QStringLiteral(PAGELET_RES_DIR);
}

QString withoutFinalSeparator(QString path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QString programPath, dataPath;
    QString resources = defaultResources();
    bool unlessInstalled = false;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& into) {
            if (i + 1 >= args.size() || args[i + 1].isEmpty())
                return false;
            into = args[++i];
            return true;
        };
        if (a == "--program-path") {
            if (!value(programPath))
                return fail("--program-path needs a folder");
        } else if (a == "--data-path") {
            if (!value(dataPath))
                return fail("--data-path needs a folder");
        } else if (a == "--resources") {
            if (!value(resources))
                return fail("--resources needs a folder");
        } else if (a == "--unless-installed") {
            unlessInstalled = true;
        } else if (a == "--help" || a == "-h") {
            say("usage: pagelet-setup --program-path DIR [--data-path DIR] [--resources DIR] [--unless-installed]\n"
                "  --unless-installed  do nothing when a Program Path is registered already");
            return 0;
        } else {
            return fail(QString("unknown argument '%1' (see --help)").arg(a));
        }
    }
    if (programPath.isEmpty())
        return fail("--program-path DIR is required (see --help)");
    if (unlessInstalled) {
        const QSettings registry(QSettings::NativeFormat, QSettings::UserScope, "Tarnwick", "Pagelet");
        const QString registered = registry.value(QString::fromStdU16String(pagelet::kProgramPathValue)).toString();
        if (!registered.isEmpty()) {
            say(QString("Pagelet is installed at %1").arg(registered));
            return 0;
        }
    }

    const QString program = QFileInfo(withoutFinalSeparator(programPath)).absoluteFilePath();
    if (QFileInfo(program).exists() && !QFileInfo(program).isDir())
        return fail(QString("%1 exists and is not a folder").arg(program));
    if (!QDir().mkpath(program))
        return fail(QString("cannot create %1").arg(program));

    const QString config = program + "/config.dat";
    if (QFileInfo::exists(config)) {
        say(QString("kept %1").arg(config));
    } else {
        const pagelet::Settings fresh; // the values before loading
        if (!pagelet::writeConfig(pagelet::fromUtf8(config.toStdString()), fresh))
            return fail(QString("cannot write %1").arg(config));
        say(QString("wrote %1").arg(config));
    }

    const QString skins = resources + "/skins";
    QDir skinSource(skins);
    if (!skinSource.exists())
        return fail(QString("no skins at %1").arg(skins));
    say(QString("skins from %1").arg(QDir(skins).absolutePath()));
    for (const QString& name : skinSource.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = program + "/skin/" + name;
        const bool existed = QFileInfo::exists(target);
        QString error;
        if (!copyTree(skins + "/" + name, target, error))
            return fail(error);
        say(QString("%1 skin %2").arg(existed ? "kept" : "installed", name));
    }

    const QString diary = dataPath.isEmpty() ? program + "/diary" : QFileInfo(withoutFinalSeparator(dataPath)).absoluteFilePath();
    // Pages are private: a data folder made here is its owner's alone.
    for (const QString& folder : {program + "/diary", diary})
        if (!pagelet::makePrivateFolder(pagelet::fromUtf8(folder.toStdString())))
            return fail(QString("cannot create %1").arg(folder));

    QSettings registry(QSettings::NativeFormat, QSettings::UserScope, "Tarnwick", "Pagelet");
    registry.setValue(QString::fromStdU16String(pagelet::kProgramPathValue), program);
    if (!dataPath.isEmpty())
        registry.setValue(QString::fromStdU16String(pagelet::kDataPathValue), diary);
    registry.sync();
    if (registry.status() != QSettings::NoError)
        return fail(QString("cannot write %1").arg(registry.fileName()));
    say(QString("registered Program Path %1 in %2").arg(program, registry.fileName()));
    if (!dataPath.isEmpty())
        say(QString("registered Data Path %1").arg(diary));
    return 0;
}
