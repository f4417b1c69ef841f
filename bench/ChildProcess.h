#pragma once
// A program run to its end, for the benchmarks that time whole processes.
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

// The command line is made once, outside the timed loop; each run() starts the program afresh.
class ChildProcess {
public:
    // quiet: the program's output goes to /dev/null.
    ChildProcess(std::vector<std::string> args, bool quiet) : m_args(std::move(args))
    {
        for (auto& a : m_args)
            m_argv.push_back(a.data());
        m_argv.push_back(nullptr);
        posix_spawn_file_actions_init(&m_actions);
        if (quiet)
            posix_spawn_file_actions_addopen(&m_actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    ~ChildProcess() { posix_spawn_file_actions_destroy(&m_actions); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The program's exit code; -1 when it did not start or did not end by itself.
    int run()
    {
        pid_t pid = 0;
        if (posix_spawnp(&pid, m_argv[0], &m_actions, nullptr, m_argv.data(), environ) != 0)
            return -1;
        int status = 0;
        if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
            return -1;
        return WEXITSTATUS(status);
    }

private:
    std::vector<std::string> m_args;
    std::vector<char*> m_argv;
    posix_spawn_file_actions_t m_actions;
};
