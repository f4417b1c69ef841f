#pragma once

namespace pagelet {

class NewPasswordDialog;
class PasswordDialog;
class SettingsDialog;

// Runs the modal dialogs. The dialog objects hold the logic; the platform shows them and
// forwards the user's actions. Each returns true when the dialog ended with OK.
class DialogPort {
public:
    virtual ~DialogPort() = default;
    virtual bool runPassword(PasswordDialog& dialog) = 0;
    virtual bool runNewPassword(NewPasswordDialog& dialog) = 0;
    virtual bool runSettings(SettingsDialog& dialog) = 0;
};

} // namespace pagelet
