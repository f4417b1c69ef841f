#include "ui/SettingsDialog.h"

#include "base/Day.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/MessageBox.h"
#include "settings/NewPasswordDialog.h"
#include "skin/SkinFolder.h"
#include "text/Catalogue.h"
#include "ui/FormatTime.h"

#include <map>

namespace pagelet {

SettingsDialog::SettingsDialog(MessageBoxPort& messages, Clock& clock, DialogPort& dialogs, SoftKeyboard& keyboard)
    : m_messages(messages), m_clock(clock), m_dialogs(dialogs), m_keyboard(keyboard)
{
}

void SettingsDialog::DoDataExchange(DialogView& view, bool save)
{
    if (save) {
        usePassword = view.isChecked(kUsePasswordCheck) ? 1 : 0;
        autoKeyboard = view.isChecked(kAutoKeyboardCheck) ? 1 : 0;
        skinIndex = view.currentSelection(kSkinList);
        timeFormat = view.currentSelection(kTimeFormatList);
        dataPath = view.itemText(kDataPathEdit);
        backupPath = view.itemText(kBackupPathEdit);
    } else {
        view.setChecked(kUsePasswordCheck, usePassword != 0);
        view.setChecked(kAutoKeyboardCheck, autoKeyboard != 0);
        view.setCurrentSelection(kSkinList, skinIndex);
        view.setCurrentSelection(kTimeFormatList, timeFormat);
        view.setItemText(kDataPathEdit, dataPath);
        view.setItemText(kBackupPathEdit, backupPath);
    }
}

bool SettingsDialog::OnInitDialog(DialogView& view)
{
    listSkins(view);
    listTimeSamples(view);
    view.enableItem(kSetPasswordButton, usePassword != 0);
    view.enableItem(kEncryptButton, static_cast<bool>(encryptDiary));
    DoDataExchange(view, false);
    return true;
}

void SettingsDialog::listSkins(DialogView& view)
{
    // skinName itself is left as given, so OK without a selection keeps it exactly. The entry
    // selected is the folder the name loads.
    const std::u16string current = skinFolderOf(programPath, skinName);
    const std::u16string skins = resolveIgnoringCase(programPath + u"skin/");
    const std::vector<std::u16string> folders = listFolders(skins);
    std::map<std::u16string, int> alike;
    for (const auto& folder : folders)
        ++alike[toLowerAscii(folder)];
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const std::u16string& folder = folders[i];
        if (skins + folder + u"/" == current)
            skinIndex = static_cast<std::int32_t>(i);
        // Folders alike but for case keep their own names, so each entry loads its own folder.
        const bool twin = alike[toLowerAscii(folder)] > 1;
        view.insertString(kSkinList, static_cast<int>(i), twin ? folder : toUpperAscii(folder));
    }
}

void SettingsDialog::listTimeSamples(DialogView& view)
{
    const LocalTime now = toLocal(m_clock.now());
    for (std::int32_t style = Korean12; style <= Clock24WithSeconds; ++style)
        view.insertString(kTimeFormatList, -1, formatTime(style, now.hour, now.minute, now.second, kSampleTail));
}

void SettingsDialog::OnCommand(DialogView& view, int id)
{
    if (id == kUsePasswordCheck)
        OnUsePassword(view);
    else if (id == kSetPasswordButton)
        OnSetPassword();
    else if (id == kEncryptButton && encryptDiary) {
        // The passphrase locks an encrypted diary: "use password" left ticked would stand for an
        // empty password, which a start after a decrypt would then take.
        if (encryptDiary()) {
            usePassword = 0;
            password.clear();
            view.setChecked(kUsePasswordCheck, false);
            view.enableItem(kSetPasswordButton, false);
        }
        // Enter then means OK again, not a second conversion.
        view.focusItem(kIdOk);
    }
}

void SettingsDialog::OnUsePassword(DialogView& view)
{
    DoDataExchange(view, true);
    view.enableItem(kSetPasswordButton, usePassword != 0);
}

void SettingsDialog::OnSetPassword()
{
    NewPasswordDialog dialog(m_messages, m_keyboard);
    if (m_dialogs.run(NewPasswordDialog::kTemplateId, dialog))
        password = dialog.newPassword;
}

void SettingsDialog::OnOK(DialogView& view)
{
    DoDataExchange(view, true);
    if (skinIndex >= 0 && skinIndex < view.listCount(kSkinList))
        skinName = view.listText(kSkinList, skinIndex);

    // Only an absolute path names the same folder wherever the program was started from.
    const auto usable = [](const std::u16string& path) { return !path.empty() && path.front() == u'/' && isDirectory(path); };
    const int wrong = !usable(dataPath) ? kDataPathEdit : !backupPath.empty() && !usable(backupPath) ? kBackupPathEdit : 0;
    if (!wrong) {
        view.endDialog(true);
        return;
    }
    m_messages.show(textOf(TextId::BadDataPath), kAppTitle, MessageButtons::Ok, MessageIcon::None);
    view.focusItem(wrong);
}

} // namespace pagelet
