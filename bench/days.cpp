// A change of day with 100 KB pages and the month's day marks, each beside the time it takes
// just to read the same files' bytes; the edited change on the real editor in turn with its
// floor (BM_ChangeDayEditedInTurn). The rest drive the dialog through a stand-in editor.
#include "platform/Commands.h"
#include "app/MainDialog.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "diary/DiaryRange.h"
#include "store/DayKey.h"
#include "store/PlainPageStore.h"
#include "fakes/Fakes.h"
#include "qt/editor/QtEditControl.h"
#include "qt/graphics/Zoom.h"
#include "RealEditor.h"
#include "WithApplication.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <ctime>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace pagelet;
namespace fs = std::filesystem;

namespace {

const LocalDate kDay {2001, 6, 7};
constexpr std::size_t kPageUnits = 50 * 1024; // 100 KB of text

std::u16string pageText(char16_t fill)
{
    std::u16string text;
    while (text.size() + 40 < kPageUnits)
        text += std::u16string(38, fill) + u"\r\n";
    text.resize(kPageUnits, fill);
    return text;
}

struct Bench {
    Bench()
        : root(fs::temp_directory_path() / ("pagelet-bench-days-" + std::to_string(::getpid()))),
          dialog(p.ports())
    {
        fs::remove_all(root);
        fs::create_directories(root);
        dialog.setDataFolder(fromUtf8(root.string()) + u"/");
        dialog.editor().create({3, 40, 237, 268});
        p.calendar.range = {{2001, 5, 27}, {2001, 7, 7}, 3};
    }
    ~Bench() { fs::remove_all(root); }

    std::u16string path(const LocalDate& d) const { return dialog.settings().dataPath + makeDateKey(d) + u".dry"; }
    void put(const LocalDate& d, const std::u16string& text) { writeFileAtomic(path(d), encodePage({1, text})); }

    fs::path root;
    fakes::FakePlatform p;
    MainDialog dialog;
};

double cpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + 1e-6 * static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
}

// CPU seconds per iteration beside the wall time, for the CPU side of the floors.
struct CpuCounter {
    explicit CpuCounter(benchmark::State& s) : state(s), start(cpuSeconds()) {}
    ~CpuCounter() { state.counters["cpu_ms"] = 1000 * (cpuSeconds() - start) / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1)); }
    benchmark::State& state;
    double start;
};

// Next and back again in turn, loading the other 100 KB page each time. Unedited, the page
// left is unchanged and nothing is written; edited (one unit, as a keystroke leaves it), every
// change stores the page it leaves: the side the floor's write stands for.
void changeDays(benchmark::State& state, bool edited)
{
    Bench b;
    b.put(kDay, pageText(u'가'));
    b.put({2001, 6, 8}, pageText(u'나'));
    b.dialog.navigation().startOn(fromLocal(kDay));
    bool forward = true;
    CpuCounter cpu(state);
    for (auto _ : state) {
        if (edited) {
            b.p.edit.content[0] = b.p.edit.content[0] == u'A' ? u'B' : u'A';
            b.dialog.editor().text.stale();
        }
        b.dialog.onCommand(forward ? CMD_NEXT_DAY : CMD_PREV_DAY, 0, 0);
        forward = !forward;
    }
    if (!edited)
        state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 2 *
                                static_cast<std::int64_t>(8 + 2 * kPageUnits));
}

void BM_ChangeDay(benchmark::State& state) { changeDays(state, false); }
BENCHMARK(BM_ChangeDay)->Unit(benchmark::kMillisecond);
void BM_ChangeDayEdited(benchmark::State& state) { changeDays(state, true); }
BENCHMARK(BM_ChangeDayEdited)->Unit(benchmark::kMillisecond);

// The halves of a change: showing the page, and storing it (which syncs it to disk).
void BM_LoadPage(benchmark::State& state)
{
    Bench b;
    b.put(kDay, pageText(u'가'));
    for (auto _ : state)
        benchmark::DoNotOptimize(b.dialog.day().loadPage(fromLocal(kDay)));
}
BENCHMARK(BM_LoadPage)->Unit(benchmark::kMicrosecond);

void BM_SavePage(benchmark::State& state)
{
    Bench b;
    b.dialog.editor().setText(pageText(u'가'));
    for (auto _ : state)
        benchmark::DoNotOptimize(b.dialog.day().savePage(fromLocal(kDay)));
}
BENCHMARK(BM_SavePage)->Unit(benchmark::kMillisecond);

// The floor of a change: the page durably replaced (temporary file, sync, rename, sync of the
// folder) and the next page read, with plain system calls and nothing else.
void BM_FloorChangeDay(benchmark::State& state)
{
    Bench b;
    const std::string bytes = [] {
        const std::u16string text = pageText(u'가');
        return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    }();
    b.put({2001, 6, 8}, pageText(u'나'));
    const std::string page = toUtf8(b.path(kDay));
    const std::string next = toUtf8(b.path({2001, 6, 8}));
    const std::string temp = page + ".tmp";
    std::string in(bytes.size() + 64, '\0');
    CpuCounter cpu(state);
    for (auto _ : state) {
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) || ::fsync(fd) != 0)
            state.SkipWithError("write failed");
        ::close(fd);
        ::rename(temp.c_str(), page.c_str());
        const int dir = ::open(b.root.c_str(), O_RDONLY | O_DIRECTORY);
        ::fsync(dir);
        ::close(dir);
        const int r = ::open(next.c_str(), O_RDONLY);
        benchmark::DoNotOptimize(::read(r, in.data(), in.size()));
        ::close(r);
    }
}
BENCHMARK(BM_FloorChangeDay)->Unit(benchmark::kMillisecond);

// The limit: the bytes of the two pages a change touches, read and nothing else.
void BM_ReadPageBytes(benchmark::State& state)
{
    Bench b;
    b.put(kDay, pageText(u'가'));
    b.put({2001, 6, 8}, pageText(u'나'));
    for (auto _ : state) {
        benchmark::DoNotOptimize(readFile(b.path(kDay)));
        benchmark::DoNotOptimize(readFile(b.path({2001, 6, 8})));
    }
}
BENCHMARK(BM_ReadPageBytes)->Unit(benchmark::kMicrosecond);

// A month with a page on every day.
void BM_ScanDayMarks(benchmark::State& state)
{
    Bench b;
    for (int d = 1; d <= 30; ++d)
        b.put({2001, 6, d}, pageText(u'다').substr(0, 2000));
    for (auto _ : state)
        b.dialog.calendar().scanDayMarks();
    benchmark::DoNotOptimize(b.p.calendar.masks);
}
BENCHMARK(BM_ScanDayMarks)->Unit(benchmark::kMicrosecond);

void BM_ReadMonthBytes(benchmark::State& state)
{
    Bench b;
    for (int d = 1; d <= 30; ++d)
        b.put({2001, 6, d}, pageText(u'다').substr(0, 2000));
    for (auto _ : state)
        for (int d = 1; d <= 31; ++d)
            benchmark::DoNotOptimize(readFile(b.path({2001, 6, d})));
}
BENCHMARK(BM_ReadMonthBytes)->Unit(benchmark::kMicrosecond);

// The floor of the day marks: a stat() of each day's file.
void BM_Stat31(benchmark::State& state)
{
    Bench b;
    for (int d = 1; d <= 30; ++d)
        b.put({2001, 6, d}, pageText(u'다').substr(0, 2000));
    std::vector<std::string> paths;
    for (int d = 1; d <= 31; ++d)
        paths.push_back(toUtf8(b.path({2001, 6, d})));
    for (auto _ : state)
        for (const auto& path : paths) {
            struct stat st {};
            benchmark::DoNotOptimize(::stat(path.c_str(), &st));
        }
}
BENCHMARK(BM_Stat31)->Unit(benchmark::kMicrosecond);

double threadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return 1e3 * static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_nsec);
}

// An edited change of day on the real editor, in turn with its floor: the edited page taken
// out of a stock QPlainTextEdit and written durably (temporary file, sync, rename, sync of the
// folder), the next page read and decoded and given to the stock editor's setPlainText.
// Neither side paints. Medians of each side's wall and CPU (the thread's clock), with the
// 25th and 75th centiles.
void BM_ChangeDayEditedInTurn(benchmark::State& state)
{
    RealEditor ours(fs::temp_directory_path() / ("pagelet-bench-real-" + std::to_string(::getpid())));
    const LocalDate next {2001, 6, 8};
    writeFileAtomic(ours.path(kDay), encodePage({1, pageText(u'가')}));
    writeFileAtomic(ours.path(next), encodePage({1, pageText(u'나')}));
    ours.dialog.navigation().startOn(fromLocal(kDay));

    const fs::path floorRoot = ours.root / "floor";
    fs::create_directories(floorRoot);
    const std::string page = (floorRoot / "20010607.dry").string(), temp = page + ".tmp";
    const std::string nextPage = (floorRoot / "20010608.dry").string();
    writeFileAtomic(fromUtf8(nextPage), encodePage({1, pageText(u'나')}));
    QPlainTextEdit stock;
    stock.resize(234, 228);
    stock.setPlainText(QString::fromStdU16String(pageText(u'가')));
    stock.show();
    std::vector<char> in(8 + 2 * kPageUnits + 64);
    const auto floorChange = [&] {
        QTextCursor(stock.document()).insertText(QStringLiteral("A"));
        const Bytes bytes = encodePage({1, stock.toPlainText().toStdU16String()});
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) || ::fsync(fd) != 0)
            state.SkipWithError("write failed");
        ::close(fd);
        ::rename(temp.c_str(), page.c_str());
        const int dir = ::open(floorRoot.c_str(), O_RDONLY | O_DIRECTORY);
        ::fsync(dir);
        ::close(dir);
        const int r = ::open(nextPage.c_str(), O_RDONLY);
        const ssize_t got = ::read(r, in.data(), in.size());
        ::close(r);
        stock.setPlainText(QString::fromUtf16(reinterpret_cast<const char16_t*>(in.data() + 8), (got - 8) / 2));
    };
    bool forward = true;
    const auto oursChange = [&] {
        QTextCursor(ours.control->document()).insertText(QStringLiteral("A"));
        ours.dialog.onCommand(forward ? CMD_NEXT_DAY : CMD_PREV_DAY, 0, 0);
        forward = !forward;
    };
    std::vector<double> wall[2], cpu[2];
    const auto timed = [&](int side, auto&& change) {
        const auto begin = std::chrono::steady_clock::now();
        const double cpuBegin = threadCpuMs();
        change();
        cpu[side].push_back(threadCpuMs() - cpuBegin);
        wall[side].push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
    };
    int round = 0;
    for (auto _ : state) {
        if (round++ % 2 == 0) {
            timed(0, oursChange);
            timed(1, floorChange);
        } else {
            timed(1, floorChange);
            timed(0, oursChange);
        }
    }
    // Each change must have stored the page it left.
    for (const LocalDate& d : {kDay, next}) {
        const auto stored = decodePage(readFile(ours.path(d)).value_or(Bytes {}));
        if (!stored || stored->text.rfind(u"AA", 0) != 0)
            state.SkipWithError("the page left was not stored");
    }
    const auto centile = [](std::vector<double> v, double q) {
        std::sort(v.begin(), v.end());
        return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5)];
    };
    for (int side = 0; side < 2; ++side) {
        const std::string name = side == 0 ? "pagelet_" : "floor_";
        for (auto [what, values] : {std::pair {"wall", &wall[side]}, std::pair {"cpu", &cpu[side]}}) {
            state.counters[name + what + "_ms"] = centile(*values, 0.5);
            state.counters[name + what + "_p25"] = centile(*values, 0.25);
            state.counters[name + what + "_p75"] = centile(*values, 0.75);
        }
    }
    state.counters["wall_ratio"] = centile(wall[0], 0.5) / centile(wall[1], 0.5);
    state.counters["cpu_ratio"] = centile(cpu[0], 0.5) / centile(cpu[1], 0.5);
}
BENCHMARK(BM_ChangeDayEditedInTurn)->Iterations(45)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runWithApplication(argc, argv);
}
