#include "app/PanelKeyboard.h"

#include "platform/SoftInputPanel.h"

namespace pagelet {

bool PanelKeyboard::show(bool up)
{
    if (up && !m_up)
        m_panel.raise();
    else if (!up && m_up)
        m_panel.lower();
    m_up = up;
    return true;
}

} // namespace pagelet
