#pragma once
// Whole programs timed against each other, interleaved: every round runs each side once, the
// order turning round by round, so a machine that speeds up or slows down meets all sides
// alike. Wall time from a monotonic clock around the child, CPU (user + system) and peak RSS
// from the kernel's own accounting of the reaped child (wait4), spawned by a small process of
// its own (see Spawner).
#include <algorithm>
#include <chrono>
#include <cstdint>
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

namespace race_detail {

inline bool putAll(int fd, const void* data, std::size_t n)
{
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t put = ::write(fd, p, n);
        if (put <= 0)
            return false;
        p += put;
        n -= static_cast<std::size_t>(put);
    }
    return true;
}

inline bool getAll(int fd, void* data, std::size_t n)
{
    char* p = static_cast<char*>(data);
    while (n > 0) {
        const ssize_t got = ::read(fd, p, n);
        if (got <= 0)
            return false;
        p += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

inline bool putStrings(int fd, const std::vector<std::string>& list)
{
    const std::uint32_t count = static_cast<std::uint32_t>(list.size());
    if (!putAll(fd, &count, sizeof count))
        return false;
    for (const std::string& s : list) {
        const std::uint32_t size = static_cast<std::uint32_t>(s.size());
        if (!putAll(fd, &size, sizeof size) || !putAll(fd, s.data(), s.size()))
            return false;
    }
    return true;
}

inline bool getStrings(int fd, std::vector<std::string>& list)
{
    std::uint32_t count = 0;
    if (!getAll(fd, &count, sizeof count))
        return false;
    list.assign(count, {});
    for (std::string& s : list) {
        std::uint32_t size = 0;
        if (!getAll(fd, &size, sizeof size))
            return false;
        s.resize(size);
        if (!getAll(fd, s.data(), size))
            return false;
    }
    return true;
}

struct Reaped {
    int spawned = -1; // posix_spawn's result
    int status = 0;
    Run run;
};

inline Reaped spawnAndReap(std::vector<std::string> args, std::vector<std::string> envs)
{
    std::vector<char*> envp, argv;
    for (auto& e : envs)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    Reaped out;
    const auto begin = std::chrono::steady_clock::now();
    pid_t pid = 0;
    out.spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (out.spawned != 0)
        return out;
    rusage use {};
    if (::wait4(pid, &out.status, 0, &use) != pid) {
        out.spawned = -1;
        return out;
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
    out.run.wallMs = took.count();
    out.run.cpuMs = 1e3 * static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
                    1e-3 * static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec);
    out.run.rssMb = static_cast<double>(use.ru_maxrss) / 1024.0;
    return out;
}

// The kernel counts a spawned child's peak RSS from the spawning process's own peak (the
// address space the child leaves at exec), so a benchmark holding its pages in memory would
// floor every child's figure at its own. Children are spawned by this small process instead,
// forked before main while the benchmark is still small.
struct Spawner {
    int request = -1;
    int reply = -1;
    pid_t pid = -1;

    Spawner()
    {
        int toChild[2], toParent[2];
        if (::pipe2(toChild, O_CLOEXEC) != 0)
            return;
        if (::pipe2(toParent, O_CLOEXEC) != 0) {
            ::close(toChild[0]);
            ::close(toChild[1]);
            return;
        }
        pid = ::fork();
        if (pid == 0) {
            ::close(toChild[1]);
            ::close(toParent[0]);
            std::vector<std::string> args, envs;
            while (getStrings(toChild[0], args) && getStrings(toChild[0], envs)) {
                const Reaped r = spawnAndReap(args, envs);
                if (!putAll(toParent[1], &r, sizeof r))
                    break;
            }
            ::_exit(0);
        }
        ::close(toChild[0]);
        ::close(toParent[1]);
        if (pid < 0) {
            ::close(toChild[1]);
            ::close(toParent[0]);
            return;
        }
        request = toChild[1];
        reply = toParent[0];
    }

    ~Spawner()
    {
        if (pid <= 0)
            return;
        ::close(request); // the spawner reads the end and leaves
        ::close(reply);
        ::waitpid(pid, nullptr, 0);
    }

    Reaped run(const std::vector<std::string>& args, const std::vector<std::string>& envs)
    {
        Reaped r;
        if (pid > 0 && putStrings(request, args) && putStrings(request, envs) && getAll(reply, &r, sizeof r))
            return r;
        return spawnAndReap(args, envs); // no spawner: figures floored at this process's peak
    }
};

inline Spawner spawner;

} // namespace race_detail

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
    const race_detail::Reaped r = race_detail::spawner.run(side.args, envs);
    if (r.spawned != 0)
        return false;
    out = r.run;
    const int status = r.status;
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
