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
                EXPECT_TRUE(read) << when << ": " << read.error();
                if (read)
                    slot = unlockWithPassphrase(*read, std::span(reinterpret_cast<const std::uint8_t*>("password"), 8));
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

// Every folder of the user's under dir, the runtime folder too.
QProcessEnvironment isolatedEnv(const QString& dir)
{
    QProcessEnvironment env = qttest::ownHome(dir);
    env.insert("XDG_RUNTIME_DIR", dir + "/run");
    QDir().mkpath(dir + "/run");
    QFile::setPermissions(dir + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return env;
}

QStringList folderFiles(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

// A key file deleted or lost in a sync: every command refuses the folder and writes nothing in
// it, whether the state folder still records the diary as encrypted or only a sealed page says so.
TEST(EncryptCommand, AKeyFileGoneLocksTheFolder)
{
    QTemporaryDir dir;
    const QString data = dir.path() + "/data", entry = dir.path() + "/j.txt";
    writeFiles(data, {{"20261201.dry", pageBytes(1, u"비밀")}});
    QFile journal(entry);
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
    journal.write("[2026-12-05 10:00] written in plain\n");
    journal.close();
    const QProcessEnvironment env = isolatedEnv(dir.path());
    const qttest::Outcome made = qttest::runPagelet({"--encrypt", "--passphrase-fd", "0", "--data", data}, env, 15000,
                                                    "long enough\n");
    ASSERT_EQ(made.status, 0) << made.err.toStdString();

    struct Case {
        const char* name;
        bool recorded;   // the state folder's record kept
        bool sealedPage; // a sealed page left in the folder
    };
    const Case cases[] = {{"recorded, a sealed page", true, true},
                          {"not recorded, a sealed page", false, true},
                          {"recorded, no page left", true, false}};
    const QStringList withData = {"--passphrase-fd", "0", "--data", data};
    const QList<QStringList> commands = {QStringList {"--import", entry} + withData,
                                         QStringList {"--search", "x"} + withData,
                                         QStringList {"--export", dir.path() + "/e.md"} + withData,
                                         QStringList {"--encrypt"} + withData,
                                         QStringList {"--decrypt"} + withData};
    const QString state = dir.path() + "/home/.local/state";
    QDir(state).rename("Pagelet", "kept");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(state + "/Pagelet").removeRecursively();
        if (c.recorded)
            ASSERT_EQ(QProcess::execute("cp", {"-a", state + "/kept", state + "/Pagelet"}), 0);
        QFile::remove(data + "/pagelet.key");
        if (!c.sealedPage)
            QFile::remove(data + "/20261201.dry");
        const QStringList before = folderFiles(data);
        for (const auto& args : commands) {
            const qttest::Outcome r = qttest::runPagelet(args, env, 15000, "long enough\n");
            EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
            EXPECT_EQ(r.err, "pagelet: the diary's key file pagelet.key is missing\n") << args.join(' ').toStdString();
            EXPECT_EQ(folderFiles(data), before) << args.join(' ').toStdString();
        }
    }
}

// A sealed page whose magic was hit by a few flipped bits reads as damaged, never as a plain page
// of noise; --decrypt names it and keeps pagelet.key, or that page could never be opened again.
TEST(EncryptCommand, ADamagedMagicKeepsTheKeyFile)
{
    struct Case {
        const char* name;
        QByteArray head; // the first bytes of 20261202.dry put in place; empty: left sealed
        int status;
        const char* err; // a regular expression
    };
    const Case cases[] = {
        {"whole", {}, 0, "^$"},
        {"one bit", "QGSL", 2, "cannot decrypt 20261202\\.dry, left as it was"},
        {"two bits", "PGSO", 2, "cannot decrypt 20261202\\.dry"},
        {"a weather mark and length no page has", QByteArray("\x07\0\0\0", 4), 2,
         "20261202\\.dry is not a whole plain page"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString data = dir.path() + "/data";
        writeFiles(data, {{"20261201.dry", pageBytes(1, u"하루")}, {"20261202.dry", pageBytes(2, u"이틀")}});
        const QProcessEnvironment env = isolatedEnv(dir.path());
        const QStringList withData = {"--passphrase-fd", "0", "--data", data};
        ASSERT_EQ(qttest::runPagelet(QStringList {"--encrypt"} + withData, env, 15000, "password\n").status, 0);
        QFile page(data + "/20261202.dry");
        ASSERT_TRUE(page.open(QIODevice::ReadWrite));
        page.write(c.head);
        page.close();
        const qttest::Outcome search = qttest::runPagelet(QStringList {"--search", "이틀"} + withData, env, 15000, "password\n");
        EXPECT_EQ(search.status, c.head.isEmpty() ? 0 : 1) << search.err.toStdString();
        const qttest::Outcome r = qttest::runPagelet(QStringList {"--decrypt"} + withData, env, 15000, "password\n");
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        EXPECT_TRUE(QRegularExpression(c.err).match(r.err).hasMatch()) << r.err.toStdString();
        EXPECT_EQ(QFile::exists(data + "/pagelet.key"), c.status != 0);
    }
}

// The export takes a memo's day whether or not it has a page, and names a memo it can't open.
TEST(EncryptCommand, ExportTakesTheDaysWithAMemo)
{
    for (const bool encrypt : {false, true}) {
        SCOPED_TRACE(encrypt ? "encrypted" : "plain");
        QTemporaryDir dir;
        const QString data = dir.path() + "/data", md = dir.path() + "/e.md";
        writeFiles(data, {{"20261201.dry", pageBytes(1, u"하루")},
                          {"20261202.wav", QByteArray("RIFF\x04\0\0\0WAVE", 12)},
                          {"20261203.wav", QByteArray("RIFF\x04\0\0\0WAVE", 12)}});
        const QProcessEnvironment env = isolatedEnv(dir.path());
        const QStringList withData = {"--passphrase-fd", "0", "--data", data};
        if (encrypt) {
            ASSERT_EQ(qttest::runPagelet(QStringList {"--encrypt"} + withData, env, 15000, "password\n").status, 0);
            QFile memo(data + "/20261203.wav");
            ASSERT_TRUE(memo.open(QIODevice::ReadWrite));
            memo.seek(40);
            memo.write("x");
        } else {
            // A pipe under a memo's name is never waited on: it reads as a memo that can't be read.
            QFile::remove(data + "/20261203.wav");
            ASSERT_EQ(QProcess::execute("mkfifo", {data + "/20261203.wav"}), 0);
        }
        const qttest::Outcome r = qttest::runPagelet(QStringList {"--export", md} + withData, env, 15000, "password\n");
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith("wrote 3 days")) << r.out.toStdString();
        EXPECT_TRUE(contents(md).contains("## 2026-12-02")) << contents(md).toStdString();
        EXPECT_TRUE(contents(md).contains("(e_files/2026-12-02.wav)")) << contents(md).toStdString();
        EXPECT_EQ(contents(dir.path() + "/e_files/2026-12-02.wav"), QByteArray("RIFF\x04\0\0\0WAVE", 12));
        EXPECT_TRUE(r.err.contains("20261203.wav")) << r.err.toStdString();
    }
}

// After --encrypt ended, a plain page or memo put in the folder was not written by the diary:
// every command names it and leaves it out, and the window is left to offer it.
TEST(EncryptCommand, APlainFilePutInAfterTheConversionIsLeftOut)
{
    QTemporaryDir dir;
    const QString data = dir.path() + "/data", md = dir.path() + "/e.md", zip = dir.path() + "/b.zip";
    writeFiles(data, {{"20261201.dry", pageBytes(1, u"하루")}});
    const QProcessEnvironment env = isolatedEnv(dir.path());
    const QStringList withData = {"--passphrase-fd", "0", "--data", data};
    ASSERT_EQ(qttest::runPagelet(QStringList {"--encrypt"} + withData, env, 15000, "password\n").status, 0);
    writeFiles(data, {{"20261202.dry", pageBytes(2, u"심은 글")}, {"20261202.wav", QByteArray("RIFF\x04\0\0\0WAVE", 12)}});
    const QString page = QRegularExpression::escape(data + "/20261202.dry") + " is a plain file in an encrypted diary; left out";
    const QString memo = QRegularExpression::escape(data + "/20261202.wav") + " is a plain file in an encrypted diary; left out";

    const qttest::Outcome search = qttest::runPagelet(QStringList {"--search", "심은"} + withData, env, 15000, "password\n");
    EXPECT_EQ(search.status, 1) << search.out.toStdString();
    EXPECT_TRUE(QRegularExpression(page).match(search.err).hasMatch()) << search.err.toStdString();

    const qttest::Outcome exported = qttest::runPagelet(QStringList {"--export", md} + withData, env, 15000, "password\n");
    EXPECT_EQ(exported.status, 0) << exported.err.toStdString();
    EXPECT_TRUE(QRegularExpression(page).match(exported.err).hasMatch()) << exported.err.toStdString();
    EXPECT_TRUE(contents(md).contains("하루"));
    EXPECT_FALSE(contents(md).contains("2026-12-02")) << contents(md).toStdString();

    const qttest::Outcome backup = qttest::runPagelet({"--backup", zip, "--data", data}, env);
    EXPECT_EQ(backup.status, 0) << backup.err.toStdString();
    EXPECT_TRUE(QRegularExpression(page).match(backup.err).hasMatch()) << backup.err.toStdString();
    EXPECT_TRUE(QRegularExpression(memo).match(backup.err).hasMatch()) << backup.err.toStdString();
    EXPECT_FALSE(contents(zip).contains("20261202")) << "left out of the zip";
    EXPECT_TRUE(contents(zip).contains("20261201.dry"));
    // Nothing was lost or sealed behind the person's back.
    EXPECT_EQ(contents(data + "/20261202.dry"), pageBytes(2, u"심은 글"));
}

// A passphrase of fewer than eight characters is refused before anything is written.
TEST(EncryptCommand, AShortPassphraseIsRefused)
{
    const std::pair<QByteArray, int> cases[] = {{"seven77\n", 2}, {"", 2}, {"여덟글자의암호다\n", 0}};
    for (const auto& [passphrase, status] : cases) {
        QTemporaryDir dir;
        const QString data = dir.path() + "/data";
        writeFiles(data, {{"20261201.dry", pageBytes(1, u"하루")}});
        const qttest::Outcome r = qttest::runPagelet({"--encrypt", "--passphrase-fd", "0", "--data", data}, isolatedEnv(dir.path()),
                                                     15000, passphrase);
        EXPECT_EQ(r.status, status) << passphrase.toStdString();
        EXPECT_EQ(r.err.startsWith("pagelet: the passphrase must be at least 8 characters\n"), status != 0) << r.err.toStdString();
        EXPECT_EQ(QFile::exists(data + "/pagelet.key"), status == 0);
    }
}

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

    const qttest::Outcome made = qttest::runPagelet({"--encrypt", "--passphrase-fd", "0", "--data", data}, env, 15000, "password\n");
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
        {QStringList {"--search", "둘째"} + withData, "password\n", 0, "^2026-12-01: 둘째 줄\n$", "^$"},
        {QStringList {"--search", "둘째"} + withData, "password2\n", 2, "^$", "^pagelet: wrong passphrase\n$"},
        {QStringList {"--search", "둘째"} + withData, "", 2, "^$", "^pagelet: wrong passphrase\n$"},
        {QStringList {"--export", md} + withData, "password", 0, "^wrote 3 days", "^$"},
        {QStringList {"--import", dir.path() + "/j.txt"} + withData, "password\n", 0, "^imported 1 entry", "^$"},
        {QStringList {"--import", dir.path() + "/k.txt"} + withData, "password\n", 0, "^imported 1 entry", "^$"},
        {QStringList {"--history", "2026-12-05"} + withData, "password\n", 0, "^1  .*  \\d+  \\[10:00\\] imported\n$", "^$"},
        {QStringList {"--restore", "2026-12-05", "--version", "1"} + withData, "password\n", 0, "^restored version 1", "^$"},
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
    // The kept versions come back plain with the pages: the key that sealed them is gone.
    for (QDirIterator it(dir.path() + "/state", QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QByteArray kept = contents(it.next());
        EXPECT_FALSE(looksSealed(Bytes(kept.begin(), kept.end()))) << it.filePath().toStdString();
    }
    const qttest::Outcome versions = qttest::runPagelet({"--history", "2026-12-05", "--data", data}, env);
    EXPECT_EQ(versions.status, 0) << versions.err.toStdString();
    EXPECT_TRUE(QRegularExpression("^1  .*  \\d+  \\[10:00\\] imported\n2  .*  \\d+  \\[10:00\\] imported\n$")
                    .match(versions.out)
                    .hasMatch())
        << versions.out.toStdString();
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
    const QProcessEnvironment env = isolatedEnv(dir.path());
    FolderCheck check {data, files, {}};

    for (const char* way : {"--encrypt", "--decrypt"}) {
        // A whole run on a copy gives the span the kills are spread over.
        QElapsedTimer timer;
        timer.start();
        const qttest::Outcome whole = qttest::runPagelet({way, "--passphrase-fd", "0", "--data", scratch}, env, 60000, "password\n");
        ASSERT_EQ(whole.status, 0) << whole.err.toStdString();
        const qint64 span = timer.elapsed();
        int midway = 0;
        const int kills = 12;
        for (int i = 0; i < kills; ++i) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(PAGELET_BIN, {way, "--passphrase-fd", "0", "--data", data});
            ASSERT_TRUE(p.waitForStarted());
            p.write("password\n");
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
        const qttest::Outcome rest = qttest::runPagelet({way, "--passphrase-fd", "0", "--data", data}, env, 60000, "password\n");
        ASSERT_EQ(rest.status, 0) << rest.err.toStdString();
        const int sealed = check.sealedCount(way);
        EXPECT_EQ(sealed, std::string(way) == "--encrypt" ? static_cast<int>(files.size()) : 0) << way;
    }
    for (const auto& [name, bytes] : files)
        ASSERT_EQ(contents(data + "/" + name), bytes) << name.toStdString();
    EXPECT_EQ(QDir(data).entryList(QDir::Files).size(), static_cast<qsizetype>(files.size())) << "no key, nothing left over";
}

} // namespace pagelet
