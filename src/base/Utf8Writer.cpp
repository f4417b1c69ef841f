#include "base/Utf8Writer.h"

#include <algorithm>
#include <cstring>

namespace pagelet {

Utf8Writer::Utf8Writer(Drain drain, std::size_t capacity)
    : m_drain(std::move(drain)), m_capacity(std::max<std::size_t>(capacity, 4)), m_data(new char[m_capacity])
{
}

void Utf8Writer::bytes(std::string_view bytes)
{
    while (!bytes.empty()) {
        if (m_used == m_capacity)
            drain();
        const std::size_t n = std::min(bytes.size(), m_capacity - m_used);
        std::memcpy(m_data.get() + m_used, bytes.data(), n);
        m_used += n;
        bytes.remove_prefix(n);
    }
}

void Utf8Writer::text(std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i)
        code(codeAt(text, i));
}

void Utf8Writer::drain()
{
    if (!m_failed && m_used > 0)
        m_failed = !m_drain({m_data.get(), m_used});
    m_used = 0;
}

bool Utf8Writer::flush()
{
    drain();
    return !m_failed;
}

} // namespace pagelet
