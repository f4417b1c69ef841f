#pragma once

namespace pagelet {

class SoftInputPanel;

// Process-wide soft keyboard helper shared by the editor and the dialogs.
bool showSoftKeyboard(bool up);
void setSoftKeyboardState(bool up);
void setSoftKeyboardOwner(SoftInputPanel* owner);
SoftInputPanel* softKeyboardOwner();
bool softKeyboardIsUp();

} // namespace pagelet
