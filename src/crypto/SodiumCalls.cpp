#include "crypto/SodiumCalls.h"

#include "base/LateLibrary.h"

namespace pagelet {

const SodiumCalls& libsodium()
{
    static const SodiumCalls calls = [] {
        static const LateLibrary library(PAGELET_LIBSODIUM);
        SodiumCalls found {};
#define PAGELET_SODIUM_FIND(name) library.find(found.name, #name);
        PAGELET_SODIUM_CALLS(PAGELET_SODIUM_FIND)
#undef PAGELET_SODIUM_FIND
        decltype(&::sodium_init) init = nullptr;
        library.find(init, "sodium_init");
        found.ready = init() >= 0;
        return found;
    }();
    return calls;
}

} // namespace pagelet
