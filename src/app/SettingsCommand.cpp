#include "app/MainDialog.h"

#include "base/FileIo.h"
#include "platform/Dialogs.h"
#include "platform/EditControl.h"
#include "platform/Graphics.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"
#include "settings/ConfigFile.h"
#include "settings/RegistryKey.h"
#include "skin/LoadSkin.h"
#include "skin/SkinFolder.h"
#include "ui/SettingsDialog.h"

namespace pagelet {

void MainDialog::onSettings()
{
    SettingsDialog dialog(m_ports.messages, m_ports.clock, m_ports.dialogs, m_keyboard);
    dialog.usePassword = m_settings.usePassword;
    dialog.autoKeyboard = m_settings.autoKeyboard;
    dialog.skinName = m_settings.skinName;
    dialog.programPath = m_settings.programPath;
    dialog.password = m_settings.password;
    dialog.timeFormat = m_settings.timeFormat;
    dialog.dataPath = m_settings.dataPath;

    if (m_ports.dialogs.run(SettingsDialog::kTemplateId, dialog)) {
        m_settings.usePassword = dialog.usePassword;
        m_settings.autoKeyboard = dialog.autoKeyboard;
        m_settings.skinName = dialog.skinName;
        m_settings.password = dialog.password;
        m_settings.timeFormat = dialog.timeFormat;
        std::u16string dataPath = dialog.dataPath;
        if (dataPath.empty() || dataPath.back() != u'/')
            dataPath += u'/';
        // The shown page belongs to the folder it came from: stored there first, or, when that
        // fails (the user is told), the folder stays so that the page is not written elsewhere.
        const bool folderMoves = dataPath != m_settings.dataPath && m_day.storeShownPage();
        if (folderMoves)
            setDataFolder(dataPath);
        {
            RegistryKey key(m_ports.registry, kRegistryKeyPath);
            key.writeString(u"Data Path", m_settings.dataPath);
        }
        // Ending the process here would lose the open page; the old file stays as it was
        // and the new settings hold for this run.
        if (!writeConfig(m_settings.programPath + kConfigFileName, m_settings))
            m_ports.messages.show(u"설정을 저장할 수 없습니다.", kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);

        Skin& skin = m_view.skin();
        LoadSkin(skin, skinFolder(), {m_ports.graphics, m_ports.calendar, m_ports.messages, m_ports.window.clientSize(), m_day.weather()});
        skin.background = m_ports.graphics.loadBitmap(skinFile(skinFolder(), u"back.bmp"));
        m_editor.background = &skin.background;
        m_editor.area = skin.textArea;
        m_ports.edit.moveTo(m_editor.area);
        m_ports.edit.setMarginsZero();
        m_ports.edit.setFocus();
        applyEditorSettings();
        m_day.refreshPageButtons();
        if (folderMoves)
            m_day.reloadFromDataFolder();
    }
    m_editor.needsRedraw = true;
    m_ports.window.invalidate();
}

} // namespace pagelet
