// Libraries opened at their first use: found by their run-time names, or the program ends as
// the loader would have ended its start.
#include "base/LateLibrary.h"

#include <gtest/gtest.h>

using namespace pagelet;

TEST(LateLibrary, FindsItsFunctionsOrEndsTheProgramWithTheLoadersMessage)
{
    const LateLibrary math("libm.so.6");
    double (*cosine)(double) = nullptr;
    math.find(cosine, "cos");
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);

    EXPECT_EXIT(LateLibrary("libpagelet-not-there.so.9"), testing::ExitedWithCode(127), "libpagelet-not-there.so.9");
    EXPECT_EXIT(math.find(cosine, "pagelet_no_such_function"), testing::ExitedWithCode(127), "pagelet_no_such_function");
}
