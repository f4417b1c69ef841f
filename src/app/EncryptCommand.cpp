#include "app/MainDialog.h"

#include "base/Text.h"
#include "platform/Dialogs.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"
#include "settings/NewPasswordDialog.h"
#include "settings/RecoveryKeyDialog.h"
#include "store/EncryptedPageStore.h"

#include <algorithm>

namespace pagelet {

namespace {

// A passphrase may be a sentence; the prompt at start-up takes as much.
constexpr int kMaxPassphraseLength = 256;
constexpr int kMinPassphraseCharacters = 8;

// The new passphrase, typed twice alike; nothing on Cancel.
std::optional<std::string> askNewPassphrase(DialogPort& dialogs, MessageBoxPort& messages, SoftKeyboard& keyboard)
{
    NewPasswordDialog dialog(messages, keyboard);
    dialog.maxLength = kMaxPassphraseLength;
    dialog.minLength = kMinPassphraseCharacters;
    if (!dialogs.run(NewPasswordDialog::kTemplateId, dialog))
        return std::nullopt;
    std::fill(dialog.confirmation.begin(), dialog.confirmation.end(), u'\0');
    std::string utf8 = toUtf8(dialog.newPassword);
    std::fill(dialog.newPassword.begin(), dialog.newPassword.end(), u'\0');
    return utf8;
}

std::span<const std::uint8_t> bytesOf(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

void wipe(std::string& text)
{
    std::fill(text.begin(), text.end(), '\0');
}

} // namespace

void MainDialog::onEncryptDiary()
{
    // The shown page goes to its file first, so the conversion takes it along.
    if (!m_day.storeShownPage())
        return;
    if (encrypted())
        changeEncryptedDiary();
    else
        encryptPlainDiary();
}

void MainDialog::encryptPlainDiary()
{
    const std::u16string folder = m_settings.dataPath;
    auto passphrase = askNewPassphrase(m_ports.dialogs, m_ports.messages, m_keyboard);
    if (!passphrase)
        return;
    auto made = createKeyFile(bytesOf(*passphrase), kdf);
    wipe(*passphrase);
    if (!made) {
        m_ports.messages.show(textOf(TextId::KeyFileNotWritten), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    // The recovery key is seen before a file changes: a crash in the conversion must not take it along.
    RecoveryKeyDialog shown(fromUtf8(made->recoveryKey));
    wipe(made->recoveryKey);
    if (!m_ports.dialogs.run(RecoveryKeyDialog::kTemplateId, shown))
        return;
    // The key file goes first: from then on every page reads, sealed or not yet.
    if (!writeFolderKeyFile(folder, made->file)) {
        m_ports.messages.show(textOf(TextId::KeyFileNotWritten), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    recordKeyFile(folder, true);
    setDataFolder(folder, std::move(made->key));
    forgetPassword(true);
    auto& store = static_cast<EncryptedPageStore&>(m_pages.current());
    Conversion done;
    m_ports.dialogs.runWithProgress(textOf(TextId::Converting),
                                    [&](const DialogPort::Progress& progress) { done = sealFolder(folder, store.key(), progress); });
    if (done.ended) {
        // The copy keeps the mark too: a key file put back from it still distrusts plain files.
        recordKeyFile(folder, true);
        store.noteConversion(true);
    }
    showConverted(done, TextId::Encrypted);
}

void MainDialog::changeEncryptedDiary()
{
    const std::u16string folder = m_settings.dataPath;
    std::optional<KeyFile> file;
    auto key = unlockDiary(folder, 3, false, &file);
    if (!key)
        return;
    const MessageAnswer answer = m_ports.messages.show(textOf(TextId::ChangeOrDecrypt), kAppTitle, MessageButtons::YesNo,
                                                       MessageIcon::Question);
    if (answer == MessageAnswer::Yes) {
        auto passphrase = askNewPassphrase(m_ports.dialogs, m_ports.messages, m_keyboard);
        if (!passphrase)
            return;
        // Only the passphrase's slot is made anew: not one page is touched.
        const auto rewrapped = rewrapKeyFile(*file, *key, bytesOf(*passphrase), kdf);
        wipe(*passphrase);
        const bool written = rewrapped && writeFolderKeyFile(folder, *rewrapped).ok();
        recordKeyFile(folder, true);
        m_ports.messages.show(textOf(written ? TextId::PassphraseChanged : TextId::KeyFileNotWritten), kAppTitle,
                              MessageButtons::Ok, written ? MessageIcon::None : MessageIcon::Exclamation);
        return;
    }
    if (answer != MessageAnswer::No)
        return;
    // The sealed store reads plain pages too, so it stays in use until every file is open.
    Conversion done;
    // The history and the journal go back to plain too: without the key file they would never open.
    const auto forget = [&] {
        if (m_journal)
            m_journal->flush();
        if (m_history)
            m_history->unsealAll(*key);
        if (!m_stateRoot.empty())
            CrashJournal::unsealAll(StateFolder(m_stateRoot, folder), *key);
        recordKeyFile(folder, false);
    };
    m_ports.dialogs.runWithProgress(textOf(TextId::Converting), [&](const DialogPort::Progress& progress) {
        done = unsealFolder(folder, *key, progress, forget);
    });
    if (!isEncryptedFolder(folder)) {
        setDataFolder(folder);
    } else {
        recordKeyFile(folder, true);
        static_cast<EncryptedPageStore&>(m_pages.current()).noteConversion(false);
    }
    showConverted(done, TextId::Decrypted);
}

void MainDialog::showConverted(const Conversion& done, TextId told)
{
    m_navigation.reloadFromDataFolder();
    m_ports.window.invalidate();
    // Files left over are told; a half-sealed folder still needs its recovery key kept.
    const bool whole = done.folderRead && done.kept.empty() && done.doubtful.empty();
    std::u16string text = textOf(told);
    if (!whole)
        text = told == TextId::Decrypted ? textOf(TextId::ConversionIncomplete)
                                         : textOf(TextId::ConversionIncomplete) + u"\n\n" + text;
    m_ports.messages.show(text, kAppTitle, MessageButtons::Ok, whole ? MessageIcon::None : MessageIcon::Exclamation);
}

} // namespace pagelet
