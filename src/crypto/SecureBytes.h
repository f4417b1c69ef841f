#pragma once
#include <cstddef>
#include <cstdint>

namespace pagelet {

// Bytes that must never reach a swap file, a core dump or freed memory: kept in locked pages
// with guard pages around them and wiped when released.
class SecureBytes {
public:
    SecureBytes() = default;
    // Nothing held (empty()) when the locked memory can't be had.
    explicit SecureBytes(std::size_t size);
    ~SecureBytes();
    SecureBytes(SecureBytes&& other) noexcept;
    SecureBytes& operator=(SecureBytes&& other) noexcept;
    SecureBytes(const SecureBytes&) = delete;
    SecureBytes& operator=(const SecureBytes&) = delete;

    bool empty() const { return m_data == nullptr; }
    std::uint8_t* data() { return m_data; }
    const std::uint8_t* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    // Fewer bytes than were allocated are in use (a passphrase read into a larger buffer).
    void shrink(std::size_t size);

private:
    void release();

    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
};

// Sets up libsodium once; false when it can't be used (no random source).
bool sodiumReady();

} // namespace pagelet
