#include "crypto/SecureBytes.h"
#include "crypto/SodiumCalls.h"


#include <utility>

namespace pagelet {

bool sodiumReady()
{
    return libsodium().ready;
}

SecureBytes::SecureBytes(std::size_t size)
{
    if (!sodiumReady())
        return;
    // A zero-size allocation would give nothing to tell apart from a failure.
    m_data = static_cast<std::uint8_t*>(libsodium().sodium_malloc(size == 0 ? 1 : size));
    m_size = m_data ? size : 0;
}

SecureBytes::~SecureBytes()
{
    release();
}

SecureBytes::SecureBytes(SecureBytes&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0))
{
}

SecureBytes& SecureBytes::operator=(SecureBytes&& other) noexcept
{
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

void SecureBytes::shrink(std::size_t size)
{
    if (size < m_size) {
        libsodium().sodium_memzero(m_data + size, m_size - size);
        m_size = size;
    }
}

void SecureBytes::release()
{
    // sodium_free wipes the whole allocation before it gives it back.
    if (m_data)
        libsodium().sodium_free(m_data);
    m_data = nullptr;
    m_size = 0;
}

} // namespace pagelet
