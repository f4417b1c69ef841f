#pragma once

namespace pagelet {

class DialogHandler;

// Runs modal dialogs. The handler holds a dialog's logic; the platform builds the controls
// from the template with that id, shows them and forwards the user's actions. True when the
// dialog ended with OK; a template the platform doesn't have runs nothing and gives false.
class DialogPort {
public:
    virtual ~DialogPort() = default;
    virtual bool run(int templateId, DialogHandler& handler) = 0;
};

} // namespace pagelet
