#pragma once

namespace pagelet {

// The on-screen keyboard as the editor and the dialogs use it: they ask for it up or down, and
// the shell is asked only when that changes what it last showed.
class SoftKeyboard {
public:
    virtual ~SoftKeyboard() = default;
    // Raises or lowers the keyboard; always true.
    virtual bool show(bool up) = 0;
    // Learnt from the shell (the user moved it): no request is made.
    virtual void setState(bool up) = 0;
    virtual bool isUp() const = 0;
};

} // namespace pagelet
