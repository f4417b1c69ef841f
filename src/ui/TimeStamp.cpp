#include "ui/TimeStamp.h"

#include "base/Day.h"
#include "platform/Clock.h"
#include "ui/DiaryEdit.h"
#include "ui/FormatTime.h"

namespace pagelet {

void insertTimeStamp(DiaryEdit& editor, Clock& clock, std::int32_t timeFormat)
{
    const LocalTime now = toLocal(clock.now());
    editor.insertText(formatTime(timeFormat, now.hour, now.minute, now.second, kStampTail));
}

} // namespace pagelet
