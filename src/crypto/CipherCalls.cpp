#include "crypto/CipherCalls.h"

#include "base/LateLibrary.h"

#include <openssl/crypto.h>

namespace pagelet {

const CipherCalls& libcrypto()
{
    static const CipherCalls calls = [] {
        static const LateLibrary library(PAGELET_LIBCRYPTO);
        CipherCalls found {};
#define PAGELET_CIPHER_FIND(name) library.find(found.name, #name);
        PAGELET_CIPHER_CALLS(PAGELET_CIPHER_FIND)
#undef PAGELET_CIPHER_FIND
        decltype(&::OPENSSL_init_crypto) init = nullptr;
        decltype(&::EVP_CIPHER_fetch) fetch = nullptr;
        library.find(init, "OPENSSL_init_crypto");
        library.find(fetch, "EVP_CIPHER_fetch");
        // The system's configuration file is not read: it could take the default provider
        // away, and a diary must open the same on every machine.
        if (init(OPENSSL_INIT_NO_LOAD_CONFIG, nullptr) == 1)
            found.chachaPoly = fetch(nullptr, "ChaCha20-Poly1305", nullptr);
        return found;
    }();
    return calls;
}

} // namespace pagelet
