#pragma once
#include "platform/DialogView.h"

#include <string>

namespace pagelet {

class MessageBoxPort;
class SoftKeyboard;

// Takes a new password typed twice alike; on OK the caller reads newPassword.
class NewPasswordDialog : public DialogHandler {
public:
    static constexpr int kTemplateId = 131;
    static constexpr int kPasswordEdit = 1012;
    static constexpr int kConfirmEdit = 1016;

    NewPasswordDialog(MessageBoxPort& messages, SoftKeyboard& keyboard);

    void DoDataExchange(DialogView& view, bool save);
    bool OnInitDialog(DialogView& view) override;
    void OnOK(DialogView& view) override;

    std::u16string newPassword;
    std::u16string confirmation;
    // A diary's passphrase may be longer than the start-up password.
    int maxLength;
    // A diary's passphrase must be long enough to be worth the derivation; 0 for none.
    int minLength = 0;

private:
    MessageBoxPort& m_messages;
    SoftKeyboard& m_keyboard;
};

} // namespace pagelet
