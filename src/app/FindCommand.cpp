#include "app/MainDialog.h"

#include "diary/FindDialog.h"
#include "platform/Dialogs.h"

namespace pagelet {

void MainDialog::onFind()
{
    FindDialog dialog(m_pages, m_ports.messages, m_ports.caseFolding, m_keyboard);
    // The search read the stored pages; the page being written is stored before the jump.
    if (m_ports.dialogs.run(FindDialog::kTemplateId, dialog))
        m_navigation.showFoundDay(dialog.foundDay);
}

} // namespace pagelet
