#include "ui/FormatTime.h"

#include "base/Text.h"
#include "text/Catalogue.h"

namespace pagelet {

std::u16string formatTime(std::int32_t style, int hour, int minute, int second, std::u16string_view tail)
{
    const bool clock24 = style == Clock24 || style == Clock24WithSeconds;
    const bool english = style == English12 || style == English12WithSeconds;
    const bool seconds = !(style == Korean12 || style == English12 || style == Clock24);

    std::u16string text;
    if (clock24) {
        text = twoDigits(hour);
    } else if (hour < 13) {
        // Noon keeps the morning word: 12 is below 13.
        text = (english ? u"A.M. " : textOf(TextId::Morning) + u" ") + twoDigits(hour);
    } else {
        text = (english ? u"P.M. " : textOf(TextId::Afternoon) + u" ") + twoDigits(hour - 12);
    }
    text += u" : ";
    text += twoDigits(minute);
    if (seconds) {
        text += u" : ";
        text += twoDigits(second);
    }
    text += tail;
    return text;
}

} // namespace pagelet
