#pragma once
#include <sodium.h>

namespace pagelet {

// libsodium's calls, opened at their first use: only an encrypted diary needs them, so a plain
// one's start does not load the library. Opening it runs its set-up too.
#define PAGELET_SODIUM_CALLS(X)                                                                    \
    X(randombytes_buf) X(sodium_malloc) X(sodium_free) X(sodium_memzero) X(crypto_pwhash)         \
    X(crypto_generichash) X(crypto_aead_xchacha20poly1305_ietf_encrypt)                           \
    X(crypto_aead_xchacha20poly1305_ietf_decrypt) X(crypto_core_hchacha20) X(sodium_memcmp)

struct SodiumCalls {
#define PAGELET_SODIUM_CALL(name) decltype(&::name) name;
    PAGELET_SODIUM_CALLS(PAGELET_SODIUM_CALL)
#undef PAGELET_SODIUM_CALL
    bool ready = false; // its set-up succeeded
};

const SodiumCalls& libsodium();

} // namespace pagelet
