#pragma once
#include "platform/Dialogs.h"

namespace pagelet {

// Runs each dialog's logic in a Qt dialog built from its template.
class QtDialogs : public DialogPort {
public:
    bool runPassword(PasswordDialog& dialog) override;
    bool runNewPassword(NewPasswordDialog& dialog) override;
    bool runSettings(SettingsDialog& dialog) override;
};

} // namespace pagelet
