#pragma once
#include <openssl/evp.h>

namespace pagelet {

// OpenSSL's AEAD calls, opened at their first use as libsodium's are. Only the opening of
// sealed pages and memos uses them: its ChaCha20-Poly1305 runs at about twice libsodium's speed
// here, and a search or an export opens every page of the diary.
#define PAGELET_CIPHER_CALLS(X)                                                                    \
    X(EVP_CIPHER_CTX_new) X(EVP_CIPHER_CTX_free) X(EVP_CIPHER_CTX_ctrl) X(EVP_DecryptInit_ex2)    \
    X(EVP_DecryptUpdate) X(EVP_DecryptFinal_ex)

struct CipherCalls {
#define PAGELET_CIPHER_CALL(name) decltype(&::name) name;
    PAGELET_CIPHER_CALLS(PAGELET_CIPHER_CALL)
#undef PAGELET_CIPHER_CALL
    // ChaCha20-Poly1305 from the default provider; null when the library has none, and the
    // pages are then opened by libsodium alone.
    EVP_CIPHER* chachaPoly = nullptr;
};

const CipherCalls& libcrypto();

} // namespace pagelet
