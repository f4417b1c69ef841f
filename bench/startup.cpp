// A start to the first painted window, as whole processes: Pagelet beside a bare Qt window,
// one after the other in each round, so both meet the same machine.
#include "ChildProcess.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path binDir()
{
    return fs::read_symlink("/proc/self/exe").parent_path();
}

// Runs a program to its end; the seconds it took, or a negative number when it failed.
double timed(ChildProcess& program)
{
    const auto begin = std::chrono::steady_clock::now();
    const int code = program.run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
    return code == 0 ? took.count() : -1;
}

struct Install {
    Install() : root(fs::temp_directory_path() / ("pagelet-bench-start-" + std::to_string(::getpid())))
    {
        fs::remove_all(root);
        fs::create_directories(root / "config");
        fs::create_directories(root / "data");
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        // Under a display (xvfb-run) both meet a real window system; else the offscreen one.
        if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ok = ChildProcess({(binDir() / "pagelet-setup").string(), "--program-path", (root / "program").string()}, false).run() == 0;
    }
    ~Install() { fs::remove_all(root); }
    fs::path root;
    bool ok = false;
};

void BM_StartToFirstPaint(benchmark::State& state)
{
    Install install;
    if (!install.ok) {
        state.SkipWithError("pagelet-setup failed");
        return;
    }
    ChildProcess bare({(binDir() / "bench_bare_window").string()}, false);
    ChildProcess pagelet({(binDir() / "bench_startup_pagelet").string()}, false);
    double bareTotal = 0;
    double pageletTotal = 0;
    for (auto _ : state) {
        const double b = timed(bare);
        const double p = timed(pagelet);
        if (b < 0 || p < 0) {
            state.SkipWithError("a program did not start");
            return;
        }
        bareTotal += b;
        pageletTotal += p;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["bare_ms"] = 1000 * bareTotal / n;
    state.counters["pagelet_ms"] = 1000 * pageletTotal / n;
    state.counters["ratio"] = pageletTotal / bareTotal;
}
BENCHMARK(BM_StartToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(30)->Repetitions(3);

} // namespace

BENCHMARK_MAIN();
