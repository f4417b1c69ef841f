#include "app/MainDialog.h"

#include "platform/Clock.h"
#include "ui/FormatTime.h"

namespace pagelet {

void MainDialog::onTimestamp()
{
    const LocalTime now = toLocal(m_ports.clock.now());
    editor.insertText(formatTime(settings.timeFormat, now.hour, now.minute, now.second, kStampTail));
}

} // namespace pagelet
