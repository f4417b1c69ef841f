#pragma once

namespace pagelet {

class SoftKeyboard;

// One of the find dialog's two edits: the word box, which brings up the soft keyboard while it
// has the focus and notes when its word is edited, and the read-only result box.
class FindEdit {
public:
    explicit FindEdit(bool keyboardOnFocus) : keyboardOnFocus(keyboardOnFocus) {}

    void OnChange() { changed = true; }
    void OnFocus(SoftKeyboard& keyboard, bool gained) const;
    // A held pen on the result box accepts the day shown in it; on the word box it does nothing.
    bool acceptsOnHold() const { return !keyboardOnFocus; }

    bool keyboardOnFocus;
    bool changed = false;
};

} // namespace pagelet
