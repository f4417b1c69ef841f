#pragma once
#include <string>
#include <string_view>

namespace pagelet {

class EditControl;

// The editor's copy of the control's text. A keystroke only marks it stale; the copy is made
// when someone reads it (a save, a find), so typing costs nothing in the page's size.
class PageText {
public:
    explicit PageText(EditControl& control) : m_control(control) {}
    PageText(const PageText&) = delete;
    PageText& operator=(const PageText&) = delete;

    PageText& operator=(std::u16string s);
    void stale() { m_stale = true; }

    const std::u16string& get() const;
    operator const std::u16string&() const { return get(); }
    bool empty() const { return size() == 0; }
    std::size_t size() const;
    friend bool operator==(const PageText& a, std::u16string_view b) { return std::u16string_view(a.get()) == b; }

private:
    EditControl& m_control;
    mutable std::u16string m_copy;
    mutable bool m_stale = false;
};

} // namespace pagelet
