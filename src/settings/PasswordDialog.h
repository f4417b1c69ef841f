#pragma once
#include "platform/DialogView.h"

#include <cstdint>
#include <string>

namespace pagelet {

class MessageBoxPort;
class SoftKeyboard;

// Longest password the prompt takes, and so the longest one that can be set.
inline constexpr int kMaxPasswordLength = 20;

// The start-up password prompt: ends with OK only after a correct entry.
class PasswordDialog : public DialogHandler {
public:
    static constexpr int kTemplateId = 129;
    static constexpr int kPasswordEdit = 1011;
    static constexpr int kPromptLabel = 1012;

    PasswordDialog(std::u16string stored, std::int32_t tries, MessageBoxPort& messages, SoftKeyboard& keyboard);

    void DoDataExchange(DialogView& view, bool save);
    bool OnInitDialog(DialogView& view) override;
    void OnOK(DialogView& view) override;

    // The edit's limit: a stored password longer than the usual limit (written by hand or by an
    // older version) must still be typeable, or the diary could never be opened again.
    virtual int entryLimit() const;
    // True when the entry opens the diary.
    virtual bool accepts(const std::u16string& entered);

    std::u16string enteredPassword;
    std::u16string storedPassword;
    std::int32_t triesLeft;
    // Shown instead of the template's own prompt, which says the program ends after the last try.
    std::u16string prompt;

private:
    MessageBoxPort& m_messages;
    SoftKeyboard& m_keyboard;
};

} // namespace pagelet
