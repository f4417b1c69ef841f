#include "qt/QtCaseFolding.h"

#include <QChar>

namespace pagelet {

std::u16string QtCaseFolding::toLower(const std::u16string& text) const
{
    std::u16string folded(text);
    for (char16_t& unit : folded)
        unit = QChar(unit).toLower().unicode();
    return folded;
}

} // namespace pagelet
