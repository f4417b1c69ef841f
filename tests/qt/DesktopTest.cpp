// The program as the desktop meets it: its command line, one copy per install, the signals
// that end it, and Qt's own texts in Korean.
#include "qt/start/UiTranslations.h"
#include "qt/start/QuitSignals.h"
#include "qt/start/SingleInstance.h"
#include "RunPagelet.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <gtest/gtest.h>

using namespace pagelet;
using pagelet::qttest::Outcome;
using pagelet::qttest::runPagelet;

namespace {

// A registered install made by pagelet-setup, seen by child processes through XDG_CONFIG_HOME.
struct ProcessInstall {
    ProcessInstall()
    {
        env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
        env.insert("XDG_DATA_HOME", dir.path() + "/data");
        env.insert("XDG_STATE_HOME", dir.path() + "/state");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess setup;
        setup.setProcessEnvironment(env);
        setup.start(PAGELET_SETUP_BIN, {"--program-path", root});
        setup.waitForFinished(20000);
        EXPECT_EQ(setup.exitCode(), 0);
    }
    QTemporaryDir dir;
    QString root = dir.path() + "/Pagelet";
    QProcessEnvironment env = pagelet::qttest::ownHome(dir.path());
};

template <typename Done> bool waitFor(Done done, int timeoutMs = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return true;
}

} // namespace

TEST(CommandLine, AnswersWithoutADisplay)
{
    // A display Qt cannot reach: any of these would fail if it started Qt.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    const struct {
        QStringList args;
        int status;
        const char* out;
        const char* err;
    } cases[] = {
        {{"--help"}, 0, "Usage: pagelet", ""},
        {{"--version"}, 0, "pagelet 0.3\n", ""},
        {{"--nonsense"}, 2, "", "unknown option '--nonsense'"},
        {{"--version", "extra"}, 2, "", "Usage: pagelet"},
        {{"-platform", "offscreen"}, 2, "", "unknown option '-platform'"},
    };
    for (const auto& c : cases) {
        const Outcome r = runPagelet(c.args, env);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(r.status, c.status) << what << "\n" << r.err.toStdString();
        EXPECT_TRUE(!*c.out || r.out.contains(c.out)) << what << ": " << r.out.toStdString();
        EXPECT_TRUE(!*c.err || r.err.contains(c.err)) << what << ": " << r.err.toStdString();
        if (c.status == 0)
            EXPECT_TRUE(r.err.isEmpty()) << what << ": " << r.err.toStdString();
        else
            EXPECT_TRUE(r.out.isEmpty()) << what;
    }
}

TEST(SingleInstance, OneKeyPerFolderHoweverItIsSpelled)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/a");
    QDir().mkpath(dir.path() + "/b");
    QFile::link(dir.path() + "/a", dir.path() + "/link");
    const QByteArray a = SingleInstance::keyFor(dir.path() + "/a");
    for (const QString& spelling : {dir.path() + "/a/", dir.path() + "/./b/../a", dir.path() + "/link"})
        EXPECT_EQ(SingleInstance::keyFor(spelling), a) << spelling.toStdString();
    EXPECT_NE(SingleInstance::keyFor(dir.path() + "/b"), a);
    EXPECT_NE(SingleInstance::keyFor(dir.path() + "/missing"), SingleInstance::keyFor(dir.path() + "/missing2"));
}

TEST(SingleInstance, ASecondStartAsksTheFirstToComeForwardAndEnds)
{
    // The desktop's activation token of the second start reaches the first copy unchanged.
    for (const QByteArray& token : {QByteArray(), QByteArray("launcher-1234_TIME5678")}) {
        ProcessInstall install;
        install.env.remove("XDG_ACTIVATION_TOKEN");
        if (!token.isEmpty())
            install.env.insert("XDG_ACTIVATION_TOKEN", QString::fromLatin1(token));
        int raised = 0;
        QByteArray got = "unset";
        {
            SingleInstance first(install.root);
            first.raiseRequested = [&](const QByteArray& t) {
                ++raised;
                got = t;
            };
            ASSERT_EQ(first.claim(), SingleInstance::Claim::Mine);

            QElapsedTimer t;
            t.start();
            const Outcome second = runPagelet({}, install.env);
            EXPECT_EQ(second.status, 0) << second.err.toStdString();
            EXPECT_LT(t.elapsed(), 5000); // answered, not timed out
            EXPECT_EQ(raised, 1);
            EXPECT_EQ(got, token);
        }
        SingleInstance afterwards(install.root);
        EXPECT_EQ(afterwards.claim(), SingleInstance::Claim::Mine);
    }
}

TEST(SingleInstance, ACopyKilledHardBlocksNothing)
{
    ProcessInstall install;
    QProcess first;
    first.setProcessEnvironment(install.env);
    first.start(PAGELET_BIN, {});
    ASSERT_TRUE(first.waitForStarted());
    // Up once its claim is there; asking it to come forward is harmless.
    ASSERT_TRUE(waitFor([&] { return SingleInstance(install.root).claim() == SingleInstance::Claim::Elsewhere; }));
    ::kill(pid_t(first.processId()), SIGKILL);
    ASSERT_TRUE(first.waitForFinished());

    QProcess next;
    next.setProcessEnvironment(install.env);
    next.start(PAGELET_BIN, {});
    ASSERT_TRUE(next.waitForStarted());
    EXPECT_TRUE(waitFor([&] { return SingleInstance(install.root).claim() == SingleInstance::Claim::Elsewhere; }));
    EXPECT_FALSE(next.waitForFinished(500)) << "the next start ended: " << next.readAllStandardError().toStdString();
    ::kill(pid_t(next.processId()), SIGTERM);
    ASSERT_TRUE(next.waitForFinished());
    EXPECT_EQ(next.exitStatus(), QProcess::NormalExit); // ended by its handler, cleanly
    EXPECT_EQ(next.exitCode(), 0);
}

// Every user can bind a name in the abstract namespace; one who holds ours must not stop a start.
TEST(SingleInstance, AnotherUserHoldingTheNameBlocksNoStart)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    ProcessInstall install;
    const QByteArray key = SingleInstance::keyFor(install.root);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t squatter = ::fork();
    if (squatter == 0) {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + 1, key.constData(), size_t(key.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool held = ::setuid(65534) == 0 &&
                          ::bind(fd, reinterpret_cast<sockaddr*>(&address),
                                 socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(key.size()))) == 0 &&
                          ::listen(fd, 8) == 0;
        [[maybe_unused]] auto n = ::write(ready[1], held ? "1" : "0", 1);
        ::pause();
        ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, '1');

    QElapsedTimer t;
    t.start();
    EXPECT_EQ(SingleInstance(install.root).claim(), SingleInstance::Claim::Failed);
    EXPECT_LT(t.elapsed(), 1000);
    QProcess start;
    start.setProcessEnvironment(install.env);
    start.start(PAGELET_BIN, {});
    EXPECT_FALSE(start.waitForFinished(1500)) << "the start ended: " << start.readAllStandardError().toStdString();
    start.kill();
    start.waitForFinished();
    ::kill(squatter, SIGKILL);
    ::waitpid(squatter, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(QuitSignals, EachEndingSignalReachesTheLoopUnlessIgnoredAtStart)
{
    const struct {
        int signal;
        bool ignoredBefore;
        bool delivered;
    } cases[] = {{SIGTERM, false, true}, {SIGHUP, false, true}, {SIGINT, false, true}, {SIGHUP, true, false}};
    for (const auto& c : cases) {
        struct sigaction before {};
        before.sa_handler = c.ignoredBefore ? SIG_IGN : SIG_DFL;
        ::sigaction(c.signal, &before, nullptr);
        std::vector<int> got;
        {
            QuitSignals signals_;
            signals_.received = [&](int n) { got.push_back(n); };
            ::raise(c.signal);
            waitFor([&] { return !got.empty(); }, c.delivered ? 2000 : 200);
        }
        EXPECT_EQ(got, c.delivered ? std::vector<int> {c.signal} : std::vector<int> {}) << c.signal;
        struct sigaction after {};
        ::sigaction(c.signal, nullptr, &after);
        EXPECT_EQ(after.sa_handler, before.sa_handler) << "the old handler is back for " << c.signal;
        signal(c.signal, SIG_DFL);
    }
}

TEST(UiLanguage, QtsOwnButtonsAndEditorMenuFollowTheProgramsLanguage)
{
    const struct {
        UiLanguage language;
        const char *yes, *no, *ok, *paste;
    } cases[] = {
        {UiLanguage::Korean, "예", "아니요", "확인", "붙여넣기"},
        {UiLanguage::English, "&Yes", "&No", "OK", "Paste"},
    };
    for (const auto& c : cases) {
        const UiTranslations translations(c.language);
        if (!translations.complete()) {
            ASSERT_EQ(c.language, UiLanguage::Korean) << "the English translation is built into the program";
            continue; // Qt's Korean translation is not installed (Debian: qt6-translations-l10n)
        }
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
        EXPECT_TRUE(box.button(QMessageBox::Yes)->text().startsWith(QString::fromUtf8(c.yes)));
        EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith(QString::fromUtf8(c.no)));
        EXPECT_TRUE(box.button(QMessageBox::Ok)->text().startsWith(QString::fromUtf8(c.ok)));

        QPlainTextEdit editor;
        std::unique_ptr<QMenu> menu(editor.createStandardContextMenu());
        QStringList texts;
        for (const QAction* a : menu->actions())
            texts << a->text();
        EXPECT_TRUE(texts.join('|').contains(QString::fromUtf8(c.paste))) << texts.join('|').toStdString();
    }
}

TEST(UiLanguage, KoreanForKoreanEnglishForEveryOtherLanguage)
{
    const struct {
        QStringList desktop;
        UiLanguage expected;
    } cases[] = {
        {{"ko-KR"}, UiLanguage::Korean},
        {{"ko"}, UiLanguage::Korean},
        {{"en-US", "en"}, UiLanguage::English},
        {{"de-DE"}, UiLanguage::English},
        {{"C"}, UiLanguage::English},
        {{}, UiLanguage::English},
        // LANGUAGE's list in order: the first the program speaks decides.
        {{"fr-FR", "ko-KR"}, UiLanguage::Korean},
        {{"en-GB", "ko-KR"}, UiLanguage::English},
    };
    for (const auto& c : cases)
        EXPECT_EQ(desktopLanguage(c.desktop), c.expected) << c.desktop.join(':').toStdString();
}
