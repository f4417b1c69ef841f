// A change of day with 100 KB pages and the month's day marks, each beside the time it takes
// just to read the same files' bytes.
#include "platform/Commands.h"
#include "app/MainDialog.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "diary/DateKey.h"
#include "store/DayKey.h"
#include "store/PlainPageStore.h"
#include "fakes/Fakes.h"

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
    b.dialog.day().startOn(fromLocal(kDay));
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
        b.dialog.day().scanDayMarks();
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

} // namespace

BENCHMARK_MAIN();
