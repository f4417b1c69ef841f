#include "base/IoFault.h"

#include <array>
#include <cerrno>

namespace pagelet {

namespace {

struct Armed {
    int error = 0; // 0: the step runs
    bool always = false;
};

constexpr std::size_t kSteps = static_cast<std::size_t>(IoStep::Remove) + 1;
std::array<Armed, kSteps> g_armed {};

} // namespace

void IoFault::arm(IoStep step, int error, Repeat repeat)
{
    g_armed[static_cast<std::size_t>(step)] = {error, repeat == Repeat::Always};
}

void IoFault::disarmAll()
{
    g_armed.fill({});
}

bool IoFault::pass(IoStep step)
{
    Armed& armed = g_armed[static_cast<std::size_t>(step)];
    if (armed.error == 0)
        return true;
    errno = armed.error;
    if (!armed.always)
        armed.error = 0;
    return false;
}

} // namespace pagelet
