#include "qt/start/DiaryUnlock.h"

#include "base/Text.h"
#include "crypto/KeyFile.h"
#include "qt/start/CommandLine.h"
#include "qt/start/DiaryCommands.h"
#include "state/CrashJournal.h"
#include "state/KeyFileCopy.h"
#include "state/PageHistory.h"
#include "store/FolderEncryption.h"

#include <cerrno>
#include <cstdio>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace pagelet {

namespace {

constexpr std::size_t kMaxPassphrase = 1024;


// One line from fd into locked memory, without its line end; nothing when it can't be read
// or is too long.
std::optional<SecureBytes> readLine(int fd)
{
    SecureBytes line(kMaxPassphrase);
    if (line.empty())
        return std::nullopt;
    std::size_t size = 0;
    for (;;) {
        char c = 0;
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0 || c == '\n')
            break;
        if (size == kMaxPassphrase)
            return std::nullopt;
        line.data()[size++] = static_cast<std::uint8_t>(c);
    }
    if (size > 0 && line.data()[size - 1] == '\r')
        --size;
    line.shrink(size);
    return line;
}

// The terminal as it was, for a Ctrl+C or a kill while the echo is off.
int g_tty = -1;
termios g_before {};

void restoreAndDie(int signal)
{
    ::tcsetattr(g_tty, TCSAFLUSH, &g_before);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Asked on the controlling terminal with its echo off, so it shows nowhere and stays out of
// any redirected output.
std::optional<SecureBytes> askOnTerminal(int tty, const char* prompt)
{
    termios before {};
    const bool terminal = ::tcgetattr(tty, &before) == 0;
    struct sigaction restore {}, old[3] {};
    const int signals[3] = {SIGINT, SIGTERM, SIGHUP};
    if (terminal) {
        g_tty = tty;
        g_before = before;
        restore.sa_handler = restoreAndDie;
        for (int i = 0; i < 3; ++i)
            ::sigaction(signals[i], &restore, &old[i]);
        termios quiet = before;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        ::tcsetattr(tty, TCSAFLUSH, &quiet);
    }
    [[maybe_unused]] auto written = ::write(tty, prompt, std::strlen(prompt));
    auto line = readLine(tty);
    if (terminal) {
        ::tcsetattr(tty, TCSAFLUSH, &before);
        for (int i = 0; i < 3; ++i)
            ::sigaction(signals[i], &old[i], nullptr);
    }
    return line;
}

bool same(const SecureBytes& a, const SecureBytes& b)
{
    return a.size() == b.size() && (a.size() == 0 || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

std::optional<DiaryKey> unlockFolder(const CommandLine& line, const std::u16string& folder)
{
    const KeyFileRead read = readFolderKeyFile(folder);
    if (!read) {
        fail(read.error() + ": " + toUtf8(keyFilePath(folder)));
        return std::nullopt;
    }
    const auto passphrase = readPassphrase(line, false);
    if (!passphrase)
        return std::nullopt;
    auto key = unlockWithPassphrase(*read, {passphrase->data(), passphrase->size()});
    // The recovery key is typed where the passphrase goes when the passphrase is lost.
    if (!key)
        key = unlockWithRecoveryKey(*read, {reinterpret_cast<const char*>(passphrase->data()), passphrase->size()});
    if (!key) {
        // A damaged slot is said, so the other one is tried rather than the passphrase again.
        const std::string damage = passphraseSlotDamage(read->passphrase);
        fail(damage.empty() ? std::string("wrong passphrase") : damage + "; the recovery key still opens it");
    }
    return key;
}

KeyFileCopy keyCopyOf(const std::u16string& folder)
{
    return KeyFileCopy(StateFolder(StateFolder::defaultRoot(), folder));
}

// Plain or encrypted; a folder whose key file is gone is refused, and nothing is written in it.
std::optional<FolderLock> lockOf(const std::u16string& folder)
{
    const FolderLock lock = folderLock(folder, keyCopyOf(folder));
    if (lock == FolderLock::KeyMissing) {
        fail("the diary's key file pagelet.key is missing");
        return std::nullopt;
    }
    return lock;
}

void tellKept(const Conversion& conversion, const char* what)
{
    for (const auto& name : conversion.kept)
        fail("cannot " + std::string(what) + " " + toUtf8(name) + ", left as it was");
    for (const auto& name : conversion.doubtful)
        fail(toUtf8(name) + " is not a whole plain page (a sealed one damaged?), left as it was");
}

} // namespace

std::optional<SecureBytes> readPassphrase(const CommandLine& line, bool twice)
{
    if (line.passphraseFd >= 0) {
        auto passphrase = readLine(line.passphraseFd);
        if (!passphrase)
            fail("cannot read a passphrase of at most 1024 bytes from file descriptor " + std::to_string(line.passphraseFd));
        return passphrase;
    }
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0) {
        fail("no terminal to ask the passphrase on; give it with --passphrase-fd N");
        return std::nullopt;
    }
    auto passphrase = askOnTerminal(tty, twice ? "New passphrase: " : "Passphrase: ");
    if (passphrase && twice) {
        const auto again = askOnTerminal(tty, "The same again: ");
        if (!again || !same(*passphrase, *again)) {
            ::close(tty);
            fail("the two passphrases differ; nothing was changed");
            return std::nullopt;
        }
    }
    ::close(tty);
    if (!passphrase)
        fail("cannot read the passphrase from the terminal");
    return passphrase;
}

std::unique_ptr<PlainPageStore> openDiaryFor(const CommandLine& line, const std::u16string& folder, int& status)
{
    status = 0;
    const auto lock = lockOf(folder);
    if (!lock) {
        status = 2;
        return nullptr;
    }
    if (*lock == FolderLock::Plain)
        return openPageStore(folder, std::nullopt);
    auto key = unlockFolder(line, folder);
    if (!key) {
        status = 2;
        return nullptr;
    }
    keyCopyOf(folder).keepFrom(folder);
    return openPageStore(folder, std::move(key));
}

int runEncryptCommand(const CommandLine& line)
{
    const std::u16string folder = dataFolderOf(line);
    if (const int status = checkDataFolder(folder))
        return status;
    const auto lock = lockOf(folder);
    if (!lock)
        return 2;
    std::optional<DiaryKey> key;
    if (*lock == FolderLock::Encrypted) {
        // A conversion stopped before its end: the key is there, the rest of the pages follow.
        key = unlockFolder(line, folder);
        if (!key)
            return 2;
    } else {
        const auto passphrase = readPassphrase(line, true);
        if (!passphrase)
            return 2;
        // Characters as UTF-8 counts them: every byte but a continuation starts one.
        std::size_t characters = 0;
        for (std::size_t i = 0; i < passphrase->size(); ++i)
            characters += (passphrase->data()[i] & 0xC0) != 0x80;
        if (characters < 8) {
            fail("the passphrase must be at least 8 characters");
            return 2;
        }
        auto made = createKeyFile({passphrase->data(), passphrase->size()});
        // The key file goes first: from then on every page reads, sealed or not yet.
        const auto written = made ? writeFolderKeyFile(folder, made->file)
                                  : Outcome<void>(Failure {"cannot write the key file " + toUtf8(keyFilePath(folder))});
        if (!written) {
            fail(written.error() + "; nothing was changed");
            return 2;
        }
        std::printf("recovery key: %s\n", made->recoveryKey.c_str());
        std::fflush(stdout);
        std::fprintf(stderr, "pagelet: write the recovery key down and keep it apart from the computer: it opens "
                             "the diary when the passphrase is lost, and it is not shown again\n");
        key = std::move(made->key);
    }
    keyCopyOf(folder).keepFrom(folder);
    const Conversion done = sealFolder(folder, *key);
    if (!done.folderRead) {
        fail("cannot read the data folder " + toUtf8(folder));
        return 2;
    }
    if (done.ended)
        keyCopyOf(folder).keepFrom(folder); // with its mark
    tellKept(done, "encrypt");
    std::printf("encrypted %d %s in %s\n", done.converted, done.converted == 1 ? "file" : "files", toUtf8(folder).c_str());
    return done.kept.empty() ? 0 : 2;
}

int runDecryptCommand(const CommandLine& line)
{
    const std::u16string folder = dataFolderOf(line);
    if (const int status = checkDataFolder(folder))
        return status;
    const auto lock = lockOf(folder);
    if (!lock)
        return 2;
    if (*lock == FolderLock::Plain) {
        std::printf("%s is not encrypted\n", toUtf8(folder).c_str());
        return 0;
    }
    const auto key = unlockFolder(line, folder);
    if (!key)
        return 2;
    // The history and the journal go back to plain too: without the key file they would never open.
    const Conversion done = unsealFolder(folder, *key, {}, [&] {
        const StateFolder state(StateFolder::defaultRoot(), folder);
        for (const auto& name : PageHistory(state).unsealAll(*key))
            fail("cannot decrypt the kept version " + toUtf8(name) + ", left as it was");
        for (const auto& name : CrashJournal::unsealAll(state, *key))
            fail("cannot decrypt the journal's " + toUtf8(name) + ", left as it was");
        keyCopyOf(folder).forget();
    });
    if (!done.folderRead) {
        fail("cannot read the data folder " + toUtf8(folder));
        return 2;
    }
    tellKept(done, "decrypt");
    if (!done.kept.empty() || !done.doubtful.empty()) {
        fail("the diary stays encrypted until these files open");
        return 2;
    }
    std::printf("decrypted %d %s in %s\n", done.converted, done.converted == 1 ? "file" : "files", toUtf8(folder).c_str());
    return 0;
}

} // namespace pagelet
