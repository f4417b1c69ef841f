#include "RunPagelet.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace pagelet {

// The real program: two imports make two versions of a day, one is restored, the data folder is
// backed up, checked and unpacked; each line's exit status, output and what is left.
TEST(HistoryCommand, HistoryRestoreAndBackupOnTheRealProgram)
{
    QTemporaryDir dir;
    const QString data = dir.path() + "/data";
    ASSERT_TRUE(QDir().mkpath(data));
    QProcessEnvironment env = qttest::ownHome(dir.path());
    env.insert("XDG_STATE_HOME", dir.path() + "/state");
    env.insert("TZ", "UTC");
    const auto journal = [&](const QString& name, const QByteArray& text) {
        QFile file(dir.path() + "/" + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    };
    const QString a = journal("a.txt", "[2026-12-01 10:00] first\n"), b = journal("b.txt", "[2026-12-01 11:00] second\n");
    const QString zip = dir.path() + "/b.zip";
    struct Case {
        QStringList args;
        int status;
        const char* out; // a regular expression
    };
    const std::vector<Case> cases = {
        {{"--history", "2026-12-01", "--data", data}, 1, "^$"},
        {{"--import", a, "--data", data}, 0, "imported"},
        {{"--import", b, "--data", data}, 0, "imported"},
        {{"--history", "2026-12-01", "--data", data}, 0, "^1  2026-12-\\d\\d \\d\\d:\\d\\d:\\d\\d  34  \\[10:00\\] first\n$"},
        {{"--restore", "2026-12-01", "--version", "2", "--data", data}, 2, "^$"},
        {{"--restore", "2026-12-01", "--version", "1", "--data", data}, 0, "restored version 1"},
        {{"--history", "2026-12-01", "--data", data}, 0, "^1  .*  \\d+  \\[10:00\\] first\n2  .*  34  \\[10:00\\] first\n$"},
        {{"--restore", "2026-13-01", "--version", "1", "--data", data}, 2, "^$"},
        {{"--backup", zip, "--data", data}, 0, "wrote"},
        {{"--verify-backup", zip}, 0, "all 1 files match"},
        {{"--restore-backup", zip, "--data", data}, 2, "^$"},
        {{"--restore-backup", zip, "--data", dir.path() + "/new"}, 0, "restored 1 files"},
        {{"--verify-backup", dir.path() + "/missing.zip"}, 2, "^$"},
    };
    for (const auto& c : cases) {
        const qttest::Outcome r = qttest::runPagelet(c.args, env);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(r.status, c.status) << what << "\n" << r.err.toStdString();
        EXPECT_TRUE(QRegularExpression(QString::fromUtf8(c.out)).match(r.out).hasMatch()) << what << ": " << r.out.toStdString();
    }
    QFile restored(dir.path() + "/new/20261201.dry"), page(data + "/20261201.dry");
    ASSERT_TRUE(restored.open(QIODevice::ReadOnly) && page.open(QIODevice::ReadOnly));
    EXPECT_EQ(restored.readAll(), page.readAll());
}

} // namespace pagelet
