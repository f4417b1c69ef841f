#pragma once

namespace pagelet {

// The on-screen keyboard of the shell.
class SoftInputPanel {
public:
    virtual ~SoftInputPanel() = default;
    virtual void raise() = 0;
    virtual void lower() = 0;
};

} // namespace pagelet
