#include "qt/dialogs/QtDialogs.h"

#include "qt/dialogs/DialogTemplate.h"
#include "qt/dialogs/QtDialog.h"

namespace pagelet {

bool QtDialogs::run(int templateId, DialogHandler& handler)
{
    const DialogTemplate* layout = dialogTemplate(templateId);
    if (!layout)
        return false;
    QtDialog window(*layout, handler, m_zoom);
    return window.run();
}

} // namespace pagelet
