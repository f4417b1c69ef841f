#include "base/ChildRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>

using namespace pagelet;
using namespace std::chrono_literals;

TEST(ChildRun, HandsBackTheAnswerOrStopsAChildThatLoopsThrowsOrDies)
{
    using End = ChildResult::End;
    const std::string big(3 << 20, 'x'); // more than a pipe holds, so the parent must read as it comes
    struct Case {
        const char* name;
        std::function<std::string()> work;
        End end;
        std::string output;
    } cases[] = {
        {"answers", [] { return std::string("E1:5"); }, End::Finished, "E1:5"},
        {"answers more than a pipe holds", [&] { return big; }, End::Finished, big},
        {"answers nothing", [] { return std::string(); }, End::Finished, ""},
        {"never finishes", []() -> std::string { for (;;) std::this_thread::sleep_for(1h); }, End::TimedOut, ""},
        {"throws", []() -> std::string { throw std::runtime_error("parser"); }, End::Failed, ""},
        {"dies", []() -> std::string { std::abort(); }, End::Failed, ""},
    };
    for (const Case& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const ChildResult result = runInChild(c.work, 500ms);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(result.end, c.end) << c.name;
        EXPECT_EQ(result.output == c.output, true) << c.name << ": " << result.output.size() << " bytes";
        EXPECT_LT(took, 5s) << c.name; // a stopped child is not waited for beyond its limit
    }
}
