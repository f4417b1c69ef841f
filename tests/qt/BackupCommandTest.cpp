#include "RunPagelet.h"
#include "state/Sha256.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

namespace pagelet {

namespace {

QProcessEnvironment privateEnv(const QString& root)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", root + "/home");
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
        env.insert(name, root + "/home/" + name);
    return env;
}

// A member of given bytes, followed by that many zero bytes (a bomb's filling, never held here).
struct Member {
    std::string name;
    QByteArray bytes;
    qint64 zeros = 0;
};

// A zip as another program, or an attacker, might make it, with a true manifest of its members.
void makeZip(const QString& path, std::vector<Member> members)
{
    static const QByteArray block(1 << 20, '\0');
    std::string manifest;
    for (const auto& m : members) {
        Sha256 sha;
        sha.add(m.bytes.data(), static_cast<std::size_t>(m.bytes.size()));
        for (qint64 left = m.zeros; left > 0; left -= block.size())
            sha.add(block.data(), static_cast<std::size_t>(std::min<qint64>(left, block.size())));
        manifest += sha.hex() + "  " + m.name + "\n";
    }
    members.push_back({"manifest.sha256", QByteArray::fromStdString(manifest)});
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    ASSERT_EQ(archive_write_open_filename(a, path.toUtf8().constData()), ARCHIVE_OK);
    for (const auto& m : members) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, m.name.c_str());
        archive_entry_set_size(e, m.bytes.size() + m.zeros);
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0600);
        archive_write_header(a, e);
        archive_write_data(a, m.bytes.data(), static_cast<std::size_t>(m.bytes.size()));
        for (qint64 left = m.zeros; left > 0; left -= block.size())
            archive_write_data(a, block.data(), static_cast<std::size_t>(std::min<qint64>(left, block.size())));
        archive_entry_free(e);
    }
    archive_write_close(a);
    archive_write_free(a);
}

struct Measured {
    int status = -1;
    long peakMb = 0;
};

// The program as a child of its own, its output dropped: its exit status and the most memory
// it held at once.
Measured runMeasured(const QStringList& args, const QProcessEnvironment& env)
{
    std::vector<std::string> texts = {PAGELET_BIN};
    for (const auto& arg : args)
        texts.push_back(arg.toStdString());
    std::vector<std::string> envTexts;
    for (const auto& line : env.toStringList())
        envTexts.push_back(line.toStdString());
    std::vector<char*> argv, envp;
    for (auto& t : texts)
        argv.push_back(t.data());
    for (auto& t : envTexts)
        envp.push_back(t.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    Measured m;
    if (posix_spawn(&pid, PAGELET_BIN, &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        rusage use {};
        if (::wait4(pid, &status, 0, &use) == pid && WIFEXITED(status))
            m = {WEXITSTATUS(status), use.ru_maxrss / 1024};
    }
    posix_spawn_file_actions_destroy(&actions);
    return m;
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The real program backs up a data folder with conflict copies, a key file, a page that is a
// link and a file not its own; the backup checks and restores whole, and only the diary's own.
TEST(BackupCommand, ABackupHoldsTheDiaryAndNothingElse)
{
    QTemporaryDir dir;
    const QString data = dir.path() + "/data", zip = dir.path() + "/b.zip", restored = dir.path() + "/new";
    ASSERT_TRUE(QDir().mkpath(data));
    const QProcessEnvironment env = privateEnv(dir.path());
    const std::vector<std::pair<QString, QByteArray>> files = {
        {"20261201.dry", QByteArray("\1\0\0\0\2\0\0\0h\0i\0", 12)},
        {"20261201.wav", QByteArray(3000, 'w')},
        {"20261201.sync-conflict-20261201-101010-ABCDEFG.dry", QByteArray("\1\0\0\0\1\0\0\0x\0", 10)},
        {"20261201.sync-conflict-20261201-101010-ABCDEFG.wav", QByteArray(500, 'v')},
        {"pagelet.key", QByteArray(232, 'k')},
    };
    for (const auto& [name, bytes] : files)
        write(data + "/" + name, bytes);
    write(data + "/notes.txt", "mine");
    write(dir.path() + "/secret", "not the diary's");
    ASSERT_TRUE(QFile::link(dir.path() + "/secret", data + "/20261202.dry"));

    struct Case {
        QStringList args;
        int status;
        const char* out;
    };
    const Case cases[] = {
        {{"--backup", zip, "--data", data}, 0, "^wrote "},
        {{"--verify-backup", zip}, 0, ": all 5 files match\n$"},
        {{"--restore-backup", zip, "--data", restored}, 0, "^restored 5 files into "},
    };
    for (const auto& c : cases) {
        const auto r = qttest::runPagelet(c.args, env);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(QRegularExpression(c.out).match(r.out).hasMatch()) << r.out.toStdString();
    }
    for (const auto& [name, bytes] : files)
        EXPECT_EQ(read(restored + "/" + name), bytes) << name.toStdString();
    EXPECT_EQ(QDir(restored).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), int(files.size()));
    EXPECT_EQ(QFileInfo(restored).permissions() & 0x0077, 0) << "the restored diary is its owner's alone";
}

// Zips the program never writes: each is refused before anything is written, naming the member,
// or restored without what does not belong in a data folder; a bomb never costs its size in
// memory.
TEST(BackupCommand, ForeignDamagedAndHugeZipsAreRefusedInLittleMemory)
{
    QTemporaryDir dir;
    const QProcessEnvironment env = privateEnv(dir.path());
    const QByteArray page("\1\0\0\0\1\0\0\0a\0", 10);
    struct Row {
        const char* name;
        std::function<void(const QString&)> make;
        int status;       // of verify and restore alike
        const char* said; // on stderr when refused, on stdout when restored
        QStringList restored;
    };
    const Row rows[] = {
        {"a member no diary has",
         [&](const QString& zip) { makeZip(zip, {{"20261201.dry", page}, {".bashrc", "echo hi"}}); },
         2, ".bashrc: not a diary file", {}},
        {"the settings file",
         [&](const QString& zip) { makeZip(zip, {{"20261201.dry", page}, {"config.dat", "password"}}); },
         0, "^left out config.dat: [^\n]+\nrestored 1 files into ", {"20261201.dry"}},
        {"a byte of a name in the central directory flipped",
         [&](const QString& zip) {
             makeZip(zip, {{"20261201.dry", page}, {"20261202.dry", page}});
             QFile file(zip);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             QByteArray bytes = file.readAll();
             const qsizetype at = bytes.lastIndexOf("20261202.dry"); // the second entry's name
             ASSERT_GT(at, bytes.indexOf("20261202.dry"));
             bytes[at + 7] = '3';
             file.seek(0);
             file.write(bytes);
         },
         2, "20261203.dry: central directory differs from the member", {}},
        {"a memo of 250 MB of zeros, a size a memo may have",
         [&](const QString& zip) { makeZip(zip, {{"20261201.wav", {}, 250ll << 20}}); }, 0, "", {"20261201.wav"}},
        {"a page of 100 MB of zeros, past any page",
         [&](const QString& zip) { makeZip(zip, {{"20261201.dry", {}, 100ll << 20}}); }, 2,
         "20261201.dry: larger than any file of a diary", {}},
    };
    int i = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString zip = dir.path() + QString("/%1.zip").arg(i), restored = dir.path() + QString("/new%1").arg(i++);
        row.make(zip);
        for (const QStringList& args : {QStringList {"--verify-backup", zip}, QStringList {"--restore-backup", zip, "--data", restored}}) {
            const Measured m = runMeasured(args, env);
            EXPECT_EQ(m.status, row.status) << args.join(' ').toStdString();
            EXPECT_LT(m.peakMb, 200) << args.join(' ').toStdString();
        }
        QDir().rmdir(restored);
        if (row.status == 0)
            QDir(restored).removeRecursively();
        if (!*row.said)
            continue; // a large one: its restore was seen above

        const auto r = qttest::runPagelet({"--restore-backup", zip, "--data", restored}, env);
        EXPECT_EQ(r.status, row.status);
        EXPECT_TRUE(QRegularExpression(row.said).match(row.status ? r.err : r.out).hasMatch()) << r.out.toStdString() << r.err.toStdString();
        EXPECT_EQ(QDir(restored).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), row.restored);
        EXPECT_EQ(QFileInfo::exists(restored), row.status == 0);
    }
}

} // namespace pagelet
