#pragma once
// The built program run as a child process, as a desktop or a shell runs it.
#include <QEventLoop>
#include <QObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTimer>

namespace pagelet::qttest {

struct Outcome {
    int status = -1; // -1: killed at the time limit, or crashed
    QString out, err;
};

// A child's HOME and every XDG folder under dir, so nothing it writes lands in the user's home;
// a test inserts its own folders after this where it wants them elsewhere.
inline QProcessEnvironment ownHome(const QString& dir, QProcessEnvironment env = QProcessEnvironment::systemEnvironment())
{
    env.insert("HOME", dir + "/home");
    env.insert("XDG_CONFIG_HOME", dir + "/home/.config");
    env.insert("XDG_DATA_HOME", dir + "/home/.local/share");
    env.insert("XDG_STATE_HOME", dir + "/home/.local/state");
    env.insert("XDG_CACHE_HOME", dir + "/home/.cache");
    return env;
}

// Runs pagelet to its end, keeping this process's event loop turning meanwhile, so an
// in-process copy can answer it.
inline Outcome runPagelet(const QStringList& args,
                          const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                          int timeoutMs = 15000, const QByteArray& input = {})
{
    QProcess p;
    p.setProcessEnvironment(env);
    QEventLoop loop;
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    p.start(PAGELET_BIN, args);
    if (!input.isNull()) {
        p.waitForStarted();
        p.write(input);
        p.closeWriteChannel();
    }
    loop.exec();
    Outcome r;
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace pagelet::qttest
