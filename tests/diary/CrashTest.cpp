#include "DiaryRig.h"

#include "app/SoftKeyboard.h"
#include "settings/ConfigFile.h"

#include <chrono>
#include <csignal>
#include <random>
#include <sys/prctl.h>
#include <sys/wait.h>

using namespace pagelet;
using namespace pagelet::testing;

namespace {

const LocalDate kDay {2001, 6, 7};

struct Versions {
    Page a {1, std::u16string(3000, u'a')};
    Page b {2, [] {
                std::u16string t;
                for (int i = 0; i < 4000; ++i)
                    t += u"둘째 판\r\n";
                return t;
            }()};
};

// Saves the two versions in turn, as fast as it can, until it is killed.
[[noreturn]] void saveForever(const std::u16string& dataPath, const Versions& v, int ready)
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    fakes::FakePlatform p;
    MainDialog dialog(MainDialogPorts {p.window, p.messages, p.registry, p.exit, p.calendar, p.edit, p.graphics,
                                       p.clock, p.dialogs, p.softInput});
    dialog.settings.dataPath = dataPath;
    const DayValue day = fromLocal(kDay);
    const char go = 1;
    if (::write(ready, &go, 1) != 1)
        ::_exit(2);
    for (bool second = true;; second = !second) {
        const Page& page = second ? v.b : v.a;
        dialog.weather = page.weather;
        dialog.editor.setText(page.text);
        dialog.savePage(day);
    }
}

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
    const fs::path data = install.root / "diary";
    fs::create_directories(data);
    ASSERT_TRUE(writeConfig(install.folder() + u"config.dat", Settings {}));
    const Versions v;
    const Bytes a = encodePage(v.a), b = encodePage(v.b);
    const fs::path page = data / "20010607.dry";
    writeBytes(page, a);
    const std::u16string dataPath = fromUtf8(data.string()) + u"/";

    // Kill within about three saves' time, so every phase of a save gets hit; a slow disk
    // still leaves enough kills in the first save's write and rename.
    auto started = std::chrono::steady_clock::now();
    {
        fakes::FakePlatform p;
        MainDialog d(MainDialogPorts {p.window, p.messages, p.registry, p.exit, p.calendar, p.edit, p.graphics, p.clock,
                                      p.dialogs, p.softInput});
        d.settings.dataPath = dataPath;
        d.editor.setText(v.a.text);
        d.weather = v.a.weather;
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(d.savePage(fromLocal(kDay)));
    }
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
            ::close(ready[0]);
            saveForever(dataPath, v, ready[1]);
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

        // The next start: clears what the kill left and shows the page. It hands its soft
        // input panel to the process-wide helper, which must not outlive this round.
        struct OwnerReset {
            ~OwnerReset() { setSoftKeyboardOwner(nullptr); }
        } ownerReset;
        fakes::FakePlatform p;
        p.registry.values[u"Program Path"] = fromUtf8(install.root.string());
        p.registry.values[u"Data Path"] = dataPath;
        p.calendar.todayValue = fromLocal(kDay);
        MainDialog next(MainDialogPorts {p.window, p.messages, p.registry, p.exit, p.calendar, p.edit, p.graphics, p.clock,
                                         p.dialogs, p.softInput});
        ASSERT_TRUE(next.OnInitDialog());
        ASSERT_EQ(temporaryFiles(data), 0) << "round " << round;
        ASSERT_TRUE(next.editor.text == (now == a ? v.a.text : v.b.text)) << "round " << round;
        ASSERT_EQ(next.weather, now == a ? 1 : 2);
    }
    EXPECT_GT(sawA, 0);
    EXPECT_GT(sawB, 0);
    std::printf("%d kills within %ld us: %d left version one, %d version two, %d cut a save short\n", kRounds,
                delay.max(), sawA, sawB, killedMidWrite);
    RecordProperty("killedMidWrite", killedMidWrite);
}
