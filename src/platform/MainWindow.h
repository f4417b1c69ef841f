#pragma once
// The ports: one small interface per platform role (window and its command numbers, calendar,
// edit control, drawing, message boxes, registry, dialogs, clock, soft keyboard, exit). The
// core receives them; the Qt layer and the tests' fakes implement them.
#include "base/Geometry.h"

#include <cstdint>
#include <functional>

namespace pagelet {

class Surface;

// The main window as its core sees it.
class MainWindowPort {
public:
    virtual ~MainWindowPort() = default;
    virtual Size clientSize() = 0;
    virtual void invalidate() = 0;                  // whole client area, no erase
    virtual void invalidate(const Rect& rect) = 0;  // no erase
    // Draws on the window at once, outside a paint (the pressed look of a button).
    virtual void drawNow(const Rect& rect, const std::function<void(Surface&)>& draw) = 0;
    // Sends a command message to the main window; returns once the command has run.
    virtual int sendCommand(int command, std::intptr_t wParam, std::intptr_t lParam) = 0;
};

} // namespace pagelet
