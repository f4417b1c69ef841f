#include "qt/QtDialogs.h"

#include "qt/QtDialog.h"
#include "settings/NewPasswordDialog.h"
#include "settings/PasswordDialog.h"
#include "ui/SettingsDialog.h"

namespace pagelet {

bool QtDialogs::runPassword(PasswordDialog& dialog)
{
    QtDialog window(passwordTemplate(), dialog);
    return window.run();
}

bool QtDialogs::runNewPassword(NewPasswordDialog& dialog)
{
    QtDialog window(newPasswordTemplate(), dialog);
    return window.run();
}

bool QtDialogs::runSettings(SettingsDialog& dialog)
{
    QtDialog window(settingsTemplate(), dialog);
    return window.run();
}

} // namespace pagelet
