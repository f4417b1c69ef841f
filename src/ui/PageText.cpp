#include "ui/PageText.h"

#include "platform/EditControl.h"

namespace pagelet {

PageText& PageText::operator=(std::u16string s)
{
    m_copy = std::move(s);
    m_stale = false;
    return *this;
}

const std::u16string& PageText::get() const
{
    if (m_stale) {
        m_copy = m_control.text();
        m_stale = false;
    }
    return m_copy;
}

std::size_t PageText::size() const
{
    return m_stale ? static_cast<std::size_t>(m_control.textLength()) : m_copy.size();
}

} // namespace pagelet
