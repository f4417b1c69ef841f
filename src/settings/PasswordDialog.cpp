#include "settings/PasswordDialog.h"

#include "platform/SoftKeyboard.h"
#include "platform/MessageBox.h"
#include "text/Catalogue.h"

#include <algorithm>

namespace pagelet {

PasswordDialog::PasswordDialog(std::u16string stored, std::int32_t tries, MessageBoxPort& messages, SoftKeyboard& keyboard)
    : storedPassword(std::move(stored)), triesLeft(tries), m_messages(messages), m_keyboard(keyboard)
{
}

int PasswordDialog::entryLimit() const
{
    return std::max(kMaxPasswordLength, static_cast<int>(storedPassword.size()));
}

bool PasswordDialog::accepts(const std::u16string& entered)
{
    return entered == storedPassword;
}

void PasswordDialog::DoDataExchange(DialogView& view, bool save)
{
    if (save) {
        enteredPassword = view.itemText(kPasswordEdit);
    } else {
        view.setItemText(kPasswordEdit, enteredPassword);
        view.limitText(kPasswordEdit, entryLimit());
    }
}

bool PasswordDialog::OnInitDialog(DialogView& view)
{
    if (!prompt.empty())
        view.setItemText(kPromptLabel, prompt);
    DoDataExchange(view, false);
    m_keyboard.show(true);
    return true;
}

void PasswordDialog::OnOK(DialogView& view)
{
    DoDataExchange(view, true);
    if (accepts(enteredPassword)) {
        m_keyboard.show(false);
        view.endDialog(true);
        return;
    }
    if (triesLeft > 1) {
        m_messages.show(textOf(TextId::WrongPassword), kAppTitle, MessageButtons::Ok, MessageIcon::None);
        enteredPassword.clear();
        DoDataExchange(view, false);
        view.focusItem(kPasswordEdit);
        --triesLeft;
        return;
    }
    // The last try failed: the caller ends the program with its own message.
    view.endDialog(false);
}

} // namespace pagelet
