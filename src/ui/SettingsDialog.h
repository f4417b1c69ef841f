#pragma once
#include "platform/DialogView.h"

#include <cstdint>
#include <functional>
#include <string>

namespace pagelet {

class Clock;
class DialogPort;
class MessageBoxPort;
class SoftKeyboard;

// The preferences dialog. The caller fills the members, runs it and on OK copies them back;
// the dialog itself stores nothing.
class SettingsDialog : public DialogHandler {
public:
    static constexpr int kTemplateId = 130;
    static constexpr int kUsePasswordCheck = 1018;
    static constexpr int kSetPasswordButton = 1019;
    static constexpr int kAutoKeyboardCheck = 1021;
    static constexpr int kSkinList = 1020;
    static constexpr int kTimeFormatList = 1022;
    static constexpr int kDataPathEdit = 1015;
    static constexpr int kBackupPathEdit = 1016;
    static constexpr int kEncryptButton = 1023;

    SettingsDialog(MessageBoxPort& messages, Clock& clock, DialogPort& dialogs, SoftKeyboard& keyboard);

    void DoDataExchange(DialogView& view, bool save);
    bool OnInitDialog(DialogView& view) override;
    void OnOK(DialogView& view) override;
    void OnCommand(DialogView& view, int id) override;
    void OnUsePassword(DialogView& view);
    void OnSetPassword();

    std::int32_t usePassword = 0;
    std::int32_t autoKeyboard = 0;
    std::int32_t skinIndex = -1;
    std::int32_t timeFormat = -1;
    std::u16string dataPath;
    // A second place for the daily backups (a USB stick, another disk); empty: none.
    std::u16string backupPath;
    std::u16string password;
    std::u16string skinName;
    std::u16string programPath; // given in, to find the skins; never changed
    // "일기 암호화...": the diary in use is converted or its passphrase changed at once, not on OK;
    // true when the diary is encrypted afterwards.
    std::function<bool()> encryptDiary;

private:
    void listSkins(DialogView& view);
    void listTimeSamples(DialogView& view);

    MessageBoxPort& m_messages;
    Clock& m_clock;
    DialogPort& m_dialogs;
    SoftKeyboard& m_keyboard;
};

} // namespace pagelet
