#include "base/Processor.h"

#if defined(__x86_64__)
// The header answers in C's boolean, which clang's C++ does not know by that name.
#if defined(__clang__)
#define _Bool bool
#endif
#include <sys/platform/x86.h>
#if defined(__clang__)
#undef _Bool
#endif
#endif

namespace pagelet {

bool processorHasAvx2()
{
#if defined(__x86_64__)
    static const bool has = CPU_FEATURE_ACTIVE(AVX2);
    return has;
#else
    return false;
#endif
}

bool processorHasSsse3()
{
#if defined(__x86_64__)
    static const bool has = CPU_FEATURE_ACTIVE(SSSE3);
    return has;
#else
    return false;
#endif
}

} // namespace pagelet
