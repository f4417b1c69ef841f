#include "app/SoftKeyboard.h"

#include "platform/SoftInputPanel.h"

namespace pagelet {

namespace {
SoftInputPanel* owner = nullptr;
bool isUp = false;
} // namespace

bool showSoftKeyboard(bool up)
{
    if (up && !isUp) {
        if (owner)
            owner->raise();
        isUp = true;
    } else if (!up && isUp) {
        if (owner)
            owner->lower();
        isUp = false;
    }
    return true;
}

void setSoftKeyboardState(bool up)
{
    isUp = up;
}

void setSoftKeyboardOwner(SoftInputPanel* panel)
{
    owner = panel;
}

SoftInputPanel* softKeyboardOwner()
{
    return owner;
}

bool softKeyboardIsUp()
{
    return isUp;
}

} // namespace pagelet
