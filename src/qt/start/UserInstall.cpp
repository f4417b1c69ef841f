#include "qt/start/UserInstall.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

namespace pagelet {

bool makeUserInstall(QString& error)
{
    const QString setup = QCoreApplication::applicationDirPath() + QStringLiteral("/pagelet-setup");
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Pagelet");
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(setup, {QStringLiteral("--program-path"), folder, QStringLiteral("--unless-installed")});
    if (!process.waitForFinished(60000)) {
        error = QStringLiteral("%1: %2").arg(setup, process.errorString());
        process.kill();
        return false;
    }
    const QString output = QString::fromUtf8(process.readAll()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        error = output.isEmpty() ? setup : output;
        return false;
    }
    return true;
}

} // namespace pagelet
