#include "RunPagelet.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "crypto/KeyFile.h"
#include "crypto/SealedFile.h"
#include "store/PageFormat.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace pagelet {

namespace {

using Files = std::map<QString, QByteArray>;

QByteArray pageBytes(int weather, const std::u16string& text)
{
    const Bytes b = encodePage({weather, text});
    return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

void writeFiles(const QString& folder, const Files& files)
{
    QDir().mkpath(folder);
    for (const auto& [name, bytes] : files) {
        QFile f(folder + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Each file of the folder as it was, or sealed and opening to exactly that; nothing else.
// The key is unlocked once per key file seen.
struct FolderCheck {
    QString folder;
    const Files& files;
    std::map<QByteArray, std::optional<DiaryKey>> keys;

    int sealedCount(const char* when)
    {
        const QByteArray keyFile = contents(folder + "/pagelet.key");
        const DiaryKey* key = nullptr;
        if (!keyFile.isEmpty()) {
            auto& slot = keys[keyFile];
            if (!slot) {
                const Bytes bytes(keyFile.begin(), keyFile.end());
                const auto read = parseKeyFile(bytes);
                EXPECT_TRUE(read.file) << when << ": " << read.error;
                if (read.file)
                    slot = unlockWithPassphrase(*read.file, std::span(reinterpret_cast<const std::uint8_t*>("pw"), 2));
            }
            key = slot ? &*slot : nullptr;
        }
        int sealed = 0;
        for (const auto& [name, original] : files) {
            const QByteArray now = contents(folder + "/" + name);
            if (now == original)
                continue;
            ++sealed;
            const Bytes bytes(now.begin(), now.end());
            const LocalDate day {name.left(4).toInt(), name.mid(4, 2).toInt(), name.mid(6, 2).toInt()};
            const auto kind = name.endsWith(".wav") ? SealedKind::Memo : SealedKind::Page;
            const auto plain = key ? openSealed(*key, day, kind, bytes) : std::nullopt;
            EXPECT_TRUE(plain && Bytes(original.begin(), original.end()) == *plain) << when << ": " << name.toStdString();
        }
        return sealed;
    }
};

} // namespace

// The real program over an encrypted diary: each command with the passphrase on a descriptor,
// a wrong one, the recovery key in its place, and back to the very same plain files.
TEST(EncryptCommand, EveryCommandOnAnEncryptedDiary)
{
    QTemporaryDir dir;
    const QString data = dir.path() + "/data";
    const Files files = {
        {"20261201.dry", pageBytes(1, u"비가 왔다\r\n둘째 줄")},
        {"20261202.dry", pageBytes(4, u"바람")},
        {"20261203.dry", QByteArray("\x02\0\0\0\x09\0\0\0a\0b", 11)}, // its length runs past the end
        {"20261202.wav", QByteArray("RIFF\x04\0\0\0WAVE", 12)},
    };
    writeFiles(data, files);
    QFile journal(dir.path() + "/j.txt");
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
    journal.write("[2026-12-05 10:00] imported\n");
    journal.close();
    QFile second(dir.path() + "/k.txt");
    ASSERT_TRUE(second.open(QIODevice::WriteOnly));
    second.write("[2026-12-05 11:00] second\n");
    second.close();
    QProcessEnvironment env = qttest::ownHome(dir.path());
    env.insert("XDG_STATE_HOME", dir.path() + "/state");
    env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
    env.insert("TZ", "UTC");

    const qttest::Outcome made = qttest::runPagelet({"--encrypt", "--passphrase-fd", "0", "--data", data}, env, 15000, "pw\n");
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    const auto key = QRegularExpression("^recovery key: ((?:[0-9A-Z]{4}-){7}[0-9A-Z]{4})\nencrypted 4 files in ").match(made.out);
    ASSERT_TRUE(key.hasMatch()) << made.out.toStdString();
    for (const auto& [name, bytes] : files)
        EXPECT_TRUE(contents(data + "/" + name).startsWith("PGSL")) << name.toStdString();

    const QString zip = dir.path() + "/b.zip", md = dir.path() + "/e.md";
    struct Case {
        QStringList args;
        QByteArray input;
        int status;
        const char* out; // regular expressions
        const char* err;
    };
    const QStringList withData = {"--passphrase-fd", "0", "--data", data};
    const std::vector<Case> cases = {
        {QStringList {"--search", "둘째"} + withData, "pw\n", 0, "^2026-12-01: 둘째 줄\n$", "^$"},
        {QStringList {"--search", "둘째"} + withData, "pw2\n", 2, "^$", "^pagelet: wrong passphrase\n$"},
        {QStringList {"--search", "둘째"} + withData, "", 2, "^$", "^pagelet: wrong passphrase\n$"},
        {QStringList {"--export", md} + withData, "pw", 0, "^wrote 3 days", "^$"},
        {QStringList {"--import", dir.path() + "/j.txt"} + withData, "pw\n", 0, "^imported 1 entry", "^$"},
        {QStringList {"--import", dir.path() + "/k.txt"} + withData, "pw\n", 0, "^imported 1 entry", "^$"},
        {QStringList {"--history", "2026-12-05"} + withData, "pw\n", 0, "^1  .*  \\d+  \\[10:00\\] imported\n$", "^$"},
        {QStringList {"--restore", "2026-12-05", "--version", "1"} + withData, "pw\n", 0, "^restored version 1", "^$"},
        {{"--backup", zip, "--data", data}, {}, 0, "^wrote", "^$"},
        {QStringList {"--search", "imported"} + withData, key.captured(1).toLower().toUtf8() + "\n", 0, "^2026-12-05: ", "^$"},
        {{"--passphrase-fd", "x", "--search", "a"}, {}, 2, "^$", "needs a file descriptor"},
        {{"--passphrase-fd", "0"}, {}, 2, "^$", "goes with a command that reads the diary"},
        {{"--encrypt", "--decrypt", "--data", data}, {}, 2, "^$", "one at a time"},
    };
    for (const auto& c : cases) {
        const qttest::Outcome r = qttest::runPagelet(c.args, env, 15000, c.input);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(r.status, c.status) << what << "\n" << r.err.toStdString();
        EXPECT_TRUE(QRegularExpression(QString::fromUtf8(c.out)).match(r.out).hasMatch()) << what << ": " << r.out.toStdString();
        EXPECT_TRUE(QRegularExpression(QString::fromUtf8(c.err)).match(r.err).hasMatch()) << what << ": " << r.err.toStdString();
    }
    EXPECT_TRUE(contents(md).contains("바람"));
    EXPECT_TRUE(contents(data + "/20261205.dry").startsWith("PGSL")) << "an imported page is sealed";
    // Nothing of the diary in plain text under the history either.
    int kept = 0;
    for (QDirIterator it(dir.path() + "/state", QDir::Files, QDirIterator::Subdirectories); it.hasNext(); ++kept)
        EXPECT_FALSE(contents(it.next()).contains(QByteArray("i\0m\0p\0o\0r", 9))) << it.filePath().toStdString();
    EXPECT_GE(kept, 2) << "the versions the second import and the restore replaced";

    const qttest::Outcome restored = qttest::runPagelet({"--restore-backup", zip, "--data", dir.path() + "/copy"}, env);
    EXPECT_EQ(restored.status, 0) << restored.err.toStdString();
    EXPECT_EQ(contents(dir.path() + "/copy/pagelet.key"), contents(data + "/pagelet.key"));

    const qttest::Outcome back = qttest::runPagelet({"--decrypt", "--passphrase-fd", "0", "--data", data}, env, 15000,
                                                    key.captured(1).toUtf8() + "\n");
    EXPECT_EQ(back.status, 0) << back.err.toStdString();
    EXPECT_TRUE(back.out.startsWith("decrypted 5 files in ")) << back.out.toStdString();
    for (const auto& [name, bytes] : files)
        EXPECT_EQ(contents(data + "/" + name), bytes) << name.toStdString();
    EXPECT_FALSE(QFile::exists(data + "/pagelet.key"));
    const qttest::Outcome again = qttest::runPagelet({"--decrypt", "--data", data}, env);
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.out.endsWith("is not encrypted\n")) << again.out.toStdString();
}

// Killed at moments spread over a whole run, each way: every file whole in one form or the
// other, the next run finishes, and decrypting gives back the very same bytes.
TEST(EncryptCommand, KilledAnyMomentAndRunAgain)
{
    QTemporaryDir dir;
    const QString data = dir.path() + "/data", scratch = dir.path() + "/scratch";
    Files files;
    for (int day = 0; day < 1500; ++day) {
        const QDate date = QDate(2020, 1, 1).addDays(day);
        files[date.toString("yyyyMMdd") + ".dry"] = pageBytes(day % 5, std::u16string(200 + day % 300, u'가' + day % 50));
        if (day % 100 == 0)
            files[date.toString("yyyyMMdd") + ".wav"] = QByteArray(5000, char(day));
    }
    writeFiles(data, files);
    writeFiles(scratch, files);
    QProcessEnvironment env = qttest::ownHome(dir.path());
    env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
    FolderCheck check {data, files, {}};

    for (const char* way : {"--encrypt", "--decrypt"}) {
        // A whole run on a copy gives the span the kills are spread over.
        QElapsedTimer timer;
        timer.start();
        const qttest::Outcome whole = qttest::runPagelet({way, "--passphrase-fd", "0", "--data", scratch}, env, 60000, "pw\n");
        ASSERT_EQ(whole.status, 0) << whole.err.toStdString();
        const qint64 span = timer.elapsed();
        int midway = 0;
        const int kills = 12;
        for (int i = 0; i < kills; ++i) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(PAGELET_BIN, {way, "--passphrase-fd", "0", "--data", data});
            ASSERT_TRUE(p.waitForStarted());
            p.write("pw\n");
            p.waitForBytesWritten();
            p.closeWriteChannel();
            QThread::msleep(static_cast<unsigned long>(span * (i + 1) / (kills + 1)));
            p.kill();
            p.waitForFinished();
            const std::string when = std::string(way) + " killed after " + std::to_string(span * (i + 1) / (kills + 1)) + " ms";
            const int sealed = check.sealedCount(when.c_str());
            if (sealed > 0 && sealed < static_cast<int>(files.size()))
                ++midway;
        }
        std::printf("%s: %lld ms a run, %d of %d kills in the middle of the files\n", way, static_cast<long long>(span), midway, kills);
        // The kills after a finished run test nothing; some must land among the files.
        EXPECT_GE(midway, 1) << way;
        const qttest::Outcome rest = qttest::runPagelet({way, "--passphrase-fd", "0", "--data", data}, env, 60000, "pw\n");
        ASSERT_EQ(rest.status, 0) << rest.err.toStdString();
        const int sealed = check.sealedCount(way);
        EXPECT_EQ(sealed, std::string(way) == "--encrypt" ? static_cast<int>(files.size()) : 0) << way;
    }
    for (const auto& [name, bytes] : files)
        ASSERT_EQ(contents(data + "/" + name), bytes) << name.toStdString();
    EXPECT_EQ(QDir(data).entryList(QDir::Files).size(), static_cast<qsizetype>(files.size())) << "no key, nothing left over";
}

} // namespace pagelet
