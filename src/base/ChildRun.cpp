#include "base/ChildRun.h"

#include <cerrno>
#include <fcntl.h>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pagelet {

namespace {

bool writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

int waitFor(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

} // namespace

ChildResult runInChild(const std::function<std::string()>& work, std::chrono::milliseconds limit)
{
    ChildResult result;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return result;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return result;
    }
    if (pid == 0) {
        ::close(fds[0]);
        int code = 3;
        try {
            code = writeAll(fds[1], work()) ? 0 : 4;
        } catch (...) {
        }
        ::_exit(code);
    }
    ::close(fds[1]);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + limit;
    char buffer[65536];
    bool ended = false;
    while (!ended) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        pollfd ready {fds[0], POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            break;
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        if (n == 0)
            ended = true;
        else
            result.output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    if (!ended) {
        ::kill(pid, SIGKILL);
        waitFor(pid);
        result.output.clear();
        result.end = ChildResult::End::TimedOut;
        return result;
    }
    const int status = waitFor(pid);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        result.end = ChildResult::End::Finished;
    } else {
        result.output.clear();
        result.end = ChildResult::End::Failed;
    }
    return result;
}

} // namespace pagelet
