#include "settings/NewPasswordDialog.h"

#include "platform/SoftKeyboard.h"
#include "platform/MessageBox.h"
#include "settings/PasswordDialog.h"
#include "text/Catalogue.h"

#include <algorithm>

namespace pagelet {

NewPasswordDialog::NewPasswordDialog(MessageBoxPort& messages, SoftKeyboard& keyboard)
    : maxLength(kMaxPasswordLength), m_messages(messages), m_keyboard(keyboard)
{
}

void NewPasswordDialog::DoDataExchange(DialogView& view, bool save)
{
    if (save) {
        newPassword = view.itemText(kPasswordEdit);
        confirmation = view.itemText(kConfirmEdit);
    } else {
        // Both edits take no more than the prompt does, so every password set here can be
        // typed in full at start-up.
        view.setItemText(kPasswordEdit, newPassword);
        view.limitText(kPasswordEdit, maxLength);
        view.setItemText(kConfirmEdit, confirmation);
        view.limitText(kConfirmEdit, maxLength);
    }
}

bool NewPasswordDialog::OnInitDialog(DialogView& view)
{
    DoDataExchange(view, false);
    m_keyboard.show(true);
    return true;
}

void NewPasswordDialog::OnOK(DialogView& view)
{
    DoDataExchange(view, true);
    // A view that let a longer text through gets the same answer as an empty one.
    if (newPassword.empty() || newPassword.size() > static_cast<std::size_t>(maxLength)) {
        m_messages.show(textOf(TextId::BadNewPassword), kAppTitle, MessageButtons::Ok, MessageIcon::None);
        view.focusItem(kPasswordEdit);
        return;
    }
    // Characters, not UTF-16 units: a surrogate pair is one.
    const auto characters = std::count_if(newPassword.begin(), newPassword.end(),
                                          [](char16_t c) { return c < 0xDC00 || c > 0xDFFF; });
    if (characters < minLength) {
        m_messages.show(textOf(TextId::PassphraseTooShort), kAppTitle, MessageButtons::Ok, MessageIcon::None);
        view.focusItem(kPasswordEdit);
        return;
    }
    if (confirmation == newPassword) {
        m_keyboard.show(false);
        view.endDialog(true);
        return;
    }
    m_messages.show(textOf(TextId::WrongPassword), kAppTitle, MessageButtons::Ok, MessageIcon::None);
    newPassword.clear();
    confirmation.clear();
    DoDataExchange(view, false);
    view.focusItem(kPasswordEdit);
}

} // namespace pagelet
