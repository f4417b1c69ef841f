#include "DiaryRig.h"

#include "settings/ConfigFile.h"

#include <chrono>
#include <csignal>
#include <random>
#include <sys/prctl.h>
#include <sys/wait.h>

using namespace pagelet;
using namespace pagelet::testing;

namespace {

int temporaryFiles(const fs::path& folder)
{
    int n = 0;
    for (const auto& e : fs::directory_iterator(folder))
        n += isTemporaryName(fromUtf8(e.path().filename().string())) ? 1 : 0;
    return n;
}

} // namespace

TEST(CrashSafety, APageKilledMidSaveIsOneVersionOrTheOtherAndStartUpClearsTheLeftovers)
{
    TempFolder install("crash");
    const fs::path data = install.root / "diary", page = data / "20010607.dry";
    fs::create_directories(data);
    ASSERT_TRUE(writeConfig(install.folder() + u"config.dat", Settings {}));
    const std::u16string dataPath = fromUtf8(data.string()) + u"/";
    std::u16string lines;
    for (int i = 0; i < 4000; ++i)
        lines += u"둘째 판\r\n";
    const Page versions[] = {{1, std::u16string(3000, u'a')}, {2, lines}};
    const Bytes a = encodePage(versions[0]), b = encodePage(versions[1]);

    // Saves the two versions in turn, count times or until killed, telling ready when it starts.
    const auto save = [&](int count, int ready) {
        fakes::FakePlatform p;
        MainDialog dialog(p.ports());
        dialog.setDataFolder(dataPath);
        const char go = 1;
        if (ready >= 0 && ::write(ready, &go, 1) != 1)
            return false;
        for (int i = 0; count == 0 || i < count; ++i) {
            dialog.day().setWeather(versions[i % 2].weather);
            dialog.editor().setText(versions[i % 2].text);
            if (!dialog.day().savePage(fromLocal(kDay)))
                return false;
        }
        return true;
    };

    // Kill within about three saves' time, so every phase of a save gets hit; a slow disk
    // still leaves enough kills in the first save's write and rename.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(save(4, -1));
    const auto saveMicros = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started).count() / 4;
    std::mt19937 random(std::random_device {}());
    std::uniform_int_distribution<long> delay(0, std::clamp<long>(3 * saveMicros, 200, 30000));

    const int kRounds = 520;
    int sawA = 0, sawB = 0, killedMidWrite = 0;
    for (int round = 0; round < kRounds; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::close(ready[0]);
            save(0, ready[1]);
            ::_exit(2);
        }
        ::close(ready[1]);
        char go = 0;
        ASSERT_EQ(::read(ready[0], &go, 1), 1);
        ::close(ready[0]);
        ::usleep(static_cast<useconds_t>(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round;

        const Bytes now = bytesOf(page);
        ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
        (now == a ? sawA : sawB)++;
        killedMidWrite += temporaryFiles(data) > 0 ? 1 : 0;

        // The next start clears what the kill left and shows the page.
        fakes::FakePlatform p;
        p.registry.values[u"Program Path"] = fromUtf8(install.root.string());
        p.registry.values[u"Data Path"] = dataPath;
        p.calendar.todayValue = fromLocal(kDay);
        MainDialog next(p.ports());
        ASSERT_TRUE(next.OnInitDialog());
        ASSERT_EQ(temporaryFiles(data), 0) << "round " << round;
        const Page& shown = versions[now == a ? 0 : 1];
        ASSERT_TRUE(next.editor().text == shown.text && next.day().weather() == shown.weather) << "round " << round;
    }
    EXPECT_GT(sawA, 0);
    EXPECT_GT(sawB, 0);
    std::printf("%d kills within %ld us: %d left version one, %d version two, %d cut a save short\n", kRounds,
                delay.max(), sawA, sawB, killedMidWrite);
}
