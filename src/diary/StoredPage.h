#pragma once
// The shown page as the store holds it, by this window's last load or store: only a page that
// differs from it is written. The location tells a day in another data folder apart.
#include "diary/SecondWriter.h"
#include "store/PageFormat.h"

#include <cstdint>
#include <string>

namespace pagelet {

class MessageBoxPort;
class PageStore;

class StoredPage {
public:
    StoredPage(PageStore& pages, MessageBoxPort& messages) : m_others(pages, messages) {}

    // The store holds page at path now.
    void note(std::u16string path, Page page)
    {
        m_path = std::move(path);
        m_page = std::move(page);
    }
    bool isAt(const std::u16string& path) const { return m_path == path; }
    // Whether what the store holds at path is this weather and text.
    bool holds(const std::u16string& path, std::int32_t weather, const std::u16string& text) const
    {
        return m_path == path && m_page.weather == weather && m_page.text == text;
    }
    const Page& page() const { return m_page; }
    // Other writers of the page: what they changed since, and their conflict copies.
    SecondWriter& others() { return m_others; }

private:
    std::u16string m_path;
    Page m_page;
    SecondWriter m_others;
};

} // namespace pagelet
