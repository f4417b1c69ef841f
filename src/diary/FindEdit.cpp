#include "diary/FindEdit.h"

#include "platform/SoftKeyboard.h"

namespace pagelet {

void FindEdit::OnFocus(SoftKeyboard& keyboard, bool gained) const
{
    if (keyboardOnFocus)
        keyboard.show(gained);
}

} // namespace pagelet
