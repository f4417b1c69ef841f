#include "app/PassphraseGate.h"

#include "base/Text.h"

#include <algorithm>

namespace pagelet {

namespace {
// Long enough for a sentence, and for the recovery key typed with its dashes.
constexpr int kMaxPassphraseLength = 256;
}

PassphraseGate::PassphraseGate(KeyFile file, KdfLimits limits, std::int32_t tries, MessageBoxPort& messages,
                               SoftKeyboard& keyboard)
    : PasswordDialog(u"", tries, messages, keyboard), m_file(std::move(file)), m_limits(limits)
{
}

int PassphraseGate::entryLimit() const
{
    return kMaxPassphraseLength;
}

bool PassphraseGate::accepts(const std::u16string& entered)
{
    // The same bytes the command line reads from a terminal.
    std::string utf8 = toUtf8(entered);
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size());
    key = unlockWithPassphrase(m_file, bytes, m_limits);
    if (!key)
        key = unlockWithRecoveryKey(m_file, utf8);
    std::fill(utf8.begin(), utf8.end(), '\0');
    return key.has_value();
}

} // namespace pagelet
