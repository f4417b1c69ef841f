#include "crypto/DiaryKey.h"
#include "crypto/SodiumCalls.h"


#include <cstring>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace pagelet {

namespace {

// A core dump or a debugger attached by another process of the user's would take the key out
// of its locked memory: from the first key on, neither is allowed.
void keepOutOfDumps()
{
    static const bool done = [] {
        ::prctl(PR_SET_DUMPABLE, 0);
        const rlimit none {0, 0};
        ::setrlimit(RLIMIT_CORE, &none);
        return true;
    }();
    (void)done;
}

} // namespace

std::optional<DiaryKey> DiaryKey::generate()
{
    keepOutOfDumps();
    SecureBytes bytes(kBytes);
    if (bytes.empty())
        return std::nullopt;
    libsodium().randombytes_buf(bytes.data(), kBytes);
    return DiaryKey(std::move(bytes));
}

std::optional<DiaryKey> DiaryKey::fromBytes(const std::uint8_t* source)
{
    keepOutOfDumps();
    SecureBytes bytes(kBytes);
    if (bytes.empty())
        return std::nullopt;
    std::memcpy(bytes.data(), source, kBytes);
    return DiaryKey(std::move(bytes));
}

std::optional<DiaryKey> DiaryKey::copy() const
{
    auto key = fromBytes(bytes());
    if (key)
        key->setDiary(m_id, m_conversionEnded);
    return key;
}

} // namespace pagelet
