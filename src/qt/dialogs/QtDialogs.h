#pragma once
#include "platform/Dialogs.h"

namespace pagelet {

// Runs each dialog's logic in a Qt dialog built from its template.
class QtDialogs : public DialogPort {
public:
    bool run(int templateId, DialogHandler& handler) override;
};

} // namespace pagelet
