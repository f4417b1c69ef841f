#pragma once
#include "crypto/KeyFile.h"
#include "settings/PasswordDialog.h"

#include <optional>

namespace pagelet {

// The start-up password prompt of an encrypted diary: the entry must unlock its key file, as
// the passphrase or as the recovery key, and the diary key it gives is kept.
class PassphraseGate : public PasswordDialog {
public:
    PassphraseGate(KeyFile file, KdfLimits limits, std::int32_t tries, MessageBoxPort& messages, SoftKeyboard& keyboard);

    int entryLimit() const override;
    bool accepts(const std::u16string& entered) override;

    std::optional<DiaryKey> key;

private:
    KeyFile m_file;
    KdfLimits m_limits;
};

} // namespace pagelet
