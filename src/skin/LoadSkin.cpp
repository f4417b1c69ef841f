#include "skin/LoadSkin.h"

namespace pagelet {

// Placeholder until the skin reader lands: an empty skin over the inset client area.
bool LoadSkin(Skin& skin, const std::u16string&, const SkinContext& context)
{
    skin.DeleteSkinElements();
    skin.bandHeight = 0;
    skin.dateCells = {};
    skin.textArea = {3, 2, context.clientSize.width - 3, context.clientSize.height - 2};
    skin.textArea.top += 2;
    return false;
}

} // namespace pagelet
