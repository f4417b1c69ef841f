#pragma once
// Text written out as UTF-8 through a buffer of a fixed size that is drained whenever it
// fills, so an output of any length (a diary's export) never sits whole in memory.
#include "base/Text.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

namespace pagelet {

class Utf8Writer {
public:
    // Takes the bytes held so far; false when they could not be taken.
    using Drain = std::function<bool(std::string_view bytes)>;

    explicit Utf8Writer(Drain drain, std::size_t capacity = std::size_t(1) << 16);
    Utf8Writer(const Utf8Writer&) = delete;
    Utf8Writer& operator=(const Utf8Writer&) = delete;

    void byte(char b)
    {
        if (m_used == m_capacity)
            drain();
        m_data[m_used++] = b;
    }
    void bytes(std::string_view bytes);
    // One code point as UTF-8.
    void code(char32_t c)
    {
        if (m_capacity - m_used < 4)
            drain();
        m_used = static_cast<std::size_t>(putUtf8(c, m_data.get() + m_used) - m_data.get());
    }
    // As toUtf8 converts it.
    void text(std::u16string_view text);
    // For a loop that writes many bytes: room for n more (n no larger than the buffer) at the
    // pointer, drained first when it lacks it; commit says where the writing ended.
    char* room(std::size_t n)
    {
        if (m_capacity - m_used < n)
            drain();
        return m_data.get() + m_used;
    }
    void commit(const char* end) { m_used = static_cast<std::size_t>(end - m_data.get()); }

    // Hands over what is held; false when this or any earlier drain failed.
    bool flush();
    // After a failed drain nothing more is handed over; what is written is dropped.
    bool failed() const { return m_failed; }

private:
    void drain();

    Drain m_drain;
    std::size_t m_capacity;
    std::unique_ptr<char[]> m_data;
    std::size_t m_used = 0;
    bool m_failed = false;
};

} // namespace pagelet
