// A start to the first painted window, as whole processes: Pagelet beside a bare Qt window,
// one after the other in each round, so both meet the same machine.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;
namespace fs = std::filesystem;

namespace {

fs::path binDir()
{
    return fs::read_symlink("/proc/self/exe").parent_path();
}

// Runs a program to its end; the seconds it took, or a negative number when it failed.
double run(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const auto begin = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? took.count() : -1;
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
        ok = run({(binDir() / "pagelet-setup").string(), "--program-path", (root / "program").string()}) >= 0;
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
    const std::string bare = (binDir() / "bench_bare_window").string();
    const std::string pagelet = (binDir() / "bench_startup_pagelet").string();
    double bareTotal = 0;
    double pageletTotal = 0;
    for (auto _ : state) {
        const double b = run({bare});
        const double p = run({pagelet});
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
