#include "app/MainDialog.h"

#include "platform/Commands.h"
#include "platform/Dialogs.h"
#include "platform/EditControl.h"
#include "platform/Graphics.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"
#include "base/FileIo.h"
#include "diary/PageButtons.h"
#include "settings/ConfigFile.h"
#include "settings/RegistryKey.h"
#include "skin/LoadSkin.h"
#include "skin/SkinFolder.h"
#include "ui/SettingsDialog.h"

namespace pagelet {


void MainDialog::onSettings()
{
    SettingsDialog dialog(m_ports.messages, m_ports.clock, m_ports.dialogs);
    dialog.usePassword = settings.usePassword;
    dialog.autoKeyboard = settings.autoKeyboard;
    dialog.skinName = settings.skinName;
    dialog.programPath = settings.programPath;
    dialog.password = settings.password;
    dialog.timeFormat = settings.timeFormat;
    dialog.dataPath = settings.dataPath;

    if (m_ports.dialogs.run(SettingsDialog::kTemplateId, dialog)) {
        settings.usePassword = dialog.usePassword;
        settings.autoKeyboard = dialog.autoKeyboard;
        settings.skinName = dialog.skinName;
        settings.password = dialog.password;
        settings.timeFormat = dialog.timeFormat;
        settings.dataPath = dialog.dataPath;
        if (settings.dataPath.empty() || settings.dataPath.back() != u'/')
            settings.dataPath += u'/';
        {
            RegistryKey key(m_ports.registry, kRegistryKeyPath);
            key.writeString(u"Data Path", settings.dataPath);
        }
        // Ending the process here would lose the open page; the old file stays as it was
        // and the new settings hold for this run.
        if (!writeConfig(settings.programPath + kConfigFileName, settings))
            m_ports.messages.show(u"설정을 저장할 수 없습니다.", kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);

        LoadSkin(skin, skinFolder(), {m_ports.graphics, m_ports.calendar, m_ports.messages, m_ports.window.clientSize(), weather});
        skin.background = m_ports.graphics.loadBitmap(skinFile(skinFolder(), u"back.bmp"));
        editor.background = &skin.background;
        editor.area = skin.textArea;
        m_ports.edit.moveTo(editor.area);
        m_ports.edit.setMarginsZero();
        m_ports.edit.setFocus();
        applyEditorSettings();
        showPageButtons(skin, {editor.editable, weather, isFile(pagePath(selectedDay))});
    }
    editor.needsRedraw = true;
    m_ports.window.invalidate();
}

} // namespace pagelet
