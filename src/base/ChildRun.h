#pragma once
// Runs a piece of work whose end is not in our hands (a third-party parser on outside bytes)
// in a child process, so that a loop for ever or a crash in it costs a refusal, not the diary.
#include <chrono>
#include <functional>
#include <string>

namespace pagelet {

struct ChildResult {
    enum class End { Finished, TimedOut, Failed };
    End end = End::Failed;
    std::string output; // what the work returned, when Finished
};

// Forks, runs work in the child and hands back its string. The child is killed when it has not
// finished within limit; Failed when it could not be started, threw or died. The child leaves
// with _exit, so no exit handler of the parent runs twice.
ChildResult runInChild(const std::function<std::string()>& work, std::chrono::milliseconds limit);

} // namespace pagelet
