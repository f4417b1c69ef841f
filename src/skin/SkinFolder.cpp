#include "skin/SkinFolder.h"

#include "base/FileIo.h"

namespace pagelet {

namespace {

bool isPlainName(const std::u16string& name)
{
    return !name.empty() && name != u"." && name != u".." && name.find(u'/') == std::u16string::npos &&
           name.find(u'\0') == std::u16string::npos;
}

} // namespace

std::u16string skinFolderOf(const std::u16string& programPath, const std::u16string& skinName)
{
    if (!isPlainName(skinName))
        return {};
    const std::u16string skins = resolveIgnoringCase(programPath + u"skin/");
    const auto real = findIgnoringCase(skins, skinName);
    return skins + (real ? *real : skinName) + u"/";
}

std::u16string skinFile(const std::u16string& folder, const std::u16string& name)
{
    return folder.empty() ? std::u16string() : resolveIgnoringCaseUnder(folder, name);
}

} // namespace pagelet
