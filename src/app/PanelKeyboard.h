#pragma once
#include "platform/SoftKeyboard.h"

namespace pagelet {

class SoftInputPanel;

// The soft keyboard over the shell's input panel; it lives as long as the window that owns it.
class PanelKeyboard : public SoftKeyboard {
public:
    explicit PanelKeyboard(SoftInputPanel& panel) : m_panel(panel) {}

    bool show(bool up) override;
    void setState(bool up) override { m_up = up; }
    bool isUp() const override { return m_up; }

private:
    SoftInputPanel& m_panel;
    bool m_up = false;
};

} // namespace pagelet
