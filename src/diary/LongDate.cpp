#include "diary/LongDate.h"

#include "base/Text.h"
#include "text/Catalogue.h"

#include <string>

namespace pagelet {

std::u16string longDate(const LocalDate& date)
{
    std::u16string text = textOf(TextId::LongDate);
    const int parts[] = {date.year, date.month, date.day};
    for (int i = 0; i < 3; ++i) {
        const std::u16string mark = u"%" + fromUtf8(std::to_string(i + 1));
        if (const auto at = text.find(mark); at != std::u16string::npos)
            text.replace(at, mark.size(), fromUtf8(std::to_string(parts[i])));
    }
    return text;
}

} // namespace pagelet
