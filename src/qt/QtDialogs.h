#pragma once
#include "platform/Dialogs.h"

namespace pagelet {

class QtDialogs : public DialogPort {
public:
    bool runPassword(PasswordDialog& dialog) override;
    bool runSettings(SettingsDialog& dialog) override;
};

} // namespace pagelet
