#include "import/SourceText.h"

#include "base/Text.h"

namespace pagelet {

std::string_view withoutByteOrderMark(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    return text;
}

std::string wellFormedUtf8(std::string_view text)
{
    return toUtf8(fromUtf8(text));
}

} // namespace pagelet
