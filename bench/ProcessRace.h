#pragma once
// Whole programs timed against each other, interleaved: every round runs each side once, the
// order turning round by round, so a machine that speeds up or slows down meets all sides
// alike. Wall time from a monotonic clock around the child, CPU (user + system) and peak RSS
// from the kernel's own accounting of the reaped child (wait4).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

struct Side {
    std::string name;
    std::vector<std::string> args;
    std::vector<std::string> env; // NAME=value, over this process's environment
};

struct Run {
    double wallMs = 0;
    double cpuMs = 0;
    double rssMb = 0;
};

// The run's figures; false when the program did not start or did not end with status 0.
inline bool runOnce(const Side& side, Run& out)
{
    std::vector<std::string> envs;
    for (char** e = environ; *e; ++e) {
        const std::string var = *e;
        const auto name = var.substr(0, var.find('=') + 1);
        if (std::none_of(side.env.begin(), side.env.end(), [&](const std::string& s) { return s.rfind(name, 0) == 0; }))
            envs.push_back(var);
    }
    envs.insert(envs.end(), side.env.begin(), side.env.end());
    std::vector<char*> envp, argv;
    for (auto& e : envs)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = side.args;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto begin = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    int status = 0;
    rusage use {};
    if (::wait4(pid, &status, 0, &use) != pid)
        return false;
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
    out.wallMs = took.count();
    out.cpuMs = 1e3 * static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
                1e-3 * static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec);
    out.rssMb = static_cast<double>(use.ru_maxrss) / 1024.0;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    std::fprintf(stderr, "%s: %s %d\n", side.name.c_str(), WIFEXITED(status) ? "exit status" : "signal",
                 WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
    return false;
}

inline double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline double quantile(std::vector<double> v, double q)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5)];
}

// "median [p25-p75] (min-max)", the spread beside the figure.
inline std::string spread(const std::vector<double>& v, const char* format = "%.1f")
{
    char m[32], a[32], b[32], lo[32], hi[32], line[200];
    std::snprintf(m, sizeof m, format, median(v));
    std::snprintf(a, sizeof a, format, quantile(v, 0.25));
    std::snprintf(b, sizeof b, format, quantile(v, 0.75));
    std::snprintf(lo, sizeof lo, format, quantile(v, 0));
    std::snprintf(hi, sizeof hi, format, quantile(v, 1));
    std::snprintf(line, sizeof line, "%s [%s-%s] (%s-%s)", m, a, b, lo, hi);
    return line;
}

struct RaceResult {
    // runs[side][round]; rounds where any side failed twice are left out of every side.
    std::vector<std::vector<Run>> runs;
    int failedStarts = 0;
};

// blocks x rounds rounds; in each, every side once, the order rotated round by round. A start
// that fails is tried once more (a display refuses about one connection in thirty right after
// a client ends).
inline RaceResult race(const std::vector<Side>& sides, int blocks, int rounds, int warmup = 1)
{
    RaceResult result;
    result.runs.resize(sides.size());
    const std::size_t n = sides.size();
    for (int r = -warmup; r < blocks * rounds; ++r) {
        std::vector<Run> got(n);
        bool ok = true;
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t i = (static_cast<std::size_t>(r + warmup) + k) % n;
            if (!runOnce(sides[i], got[i])) {
                ++result.failedStarts;
                if (!runOnce(sides[i], got[i]))
                    ok = false;
            }
        }
        if (r < 0 || !ok)
            continue;
        for (std::size_t i = 0; i < n; ++i)
            result.runs[i].push_back(got[i]);
    }
    return result;
}

// Prints each side's wall, CPU and peak RSS, then each side against the first: the median of
// the round-by-round ratios, and the medians of each block's ratios (blocks of rounds).
inline void report(const char* title, const std::vector<Side>& sides, const RaceResult& r, int rounds)
{
    std::printf("\n## %s\n%zu rounds, %d failed starts retried; median [p25-p75] (min-max)\n", title,
                r.runs.empty() ? 0 : r.runs[0].size(), r.failedStarts);
    std::printf("%-28s %-34s %-34s %s\n", "side", "wall ms", "cpu ms", "peak RSS MB");
    for (std::size_t i = 0; i < sides.size(); ++i) {
        std::vector<double> w, c, m;
        for (const Run& run : r.runs[i]) {
            w.push_back(run.wallMs);
            c.push_back(run.cpuMs);
            m.push_back(run.rssMb);
        }
        std::printf("%-28s %-34s %-34s %s\n", sides[i].name.c_str(), spread(w).c_str(), spread(c).c_str(), spread(m).c_str());
    }
    for (std::size_t i = 1; i < sides.size(); ++i) {
        std::vector<double> w, c;
        std::string blocksW, blocksC;
        std::vector<double> bw, bc;
        for (std::size_t k = 0; k < r.runs[i].size(); ++k) {
            w.push_back(r.runs[i][k].wallMs / r.runs[0][k].wallMs);
            c.push_back(r.runs[i][k].cpuMs / std::max(r.runs[0][k].cpuMs, 1e-3));
            bw.push_back(w.back());
            bc.push_back(c.back());
            if (static_cast<int>(bw.size()) == rounds || k + 1 == r.runs[i].size()) {
                char s[32];
                std::snprintf(s, sizeof s, " %.2f", median(bw));
                blocksW += s;
                std::snprintf(s, sizeof s, " %.2f", median(bc));
                blocksC += s;
                bw.clear();
                bc.clear();
            }
        }
        std::printf("%s / %s: wall %s, blocks%s; cpu %s, blocks%s\n", sides[i].name.c_str(), sides[0].name.c_str(),
                    spread(w, "%.3f").c_str(), blocksW.c_str(), spread(c, "%.3f").c_str(), blocksC.c_str());
    }
    std::fflush(stdout);
}
