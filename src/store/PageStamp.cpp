#include "store/PageStamp.h"

namespace pagelet {

std::uint64_t hashBytes(const void* bytes, std::size_t count, std::uint64_t hash)
{
    const auto* p = static_cast<const unsigned char*>(bytes);
    for (std::size_t i = 0; i < count; ++i)
        hash = (hash ^ p[i]) * 1099511628211ull;
    return hash;
}

} // namespace pagelet
