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
#include "text/Catalogue.h"
#include "ui/SettingsDialog.h"

#include <tuple>

namespace pagelet {

namespace {

// config.dat may have been changed from outside (another machine's copy, a sync) since it was
// read; a file that can't be read leaves the values as they are.
Settings onDisk(const Settings& current)
{
    Settings settings = current;
    ConfigFile file;
    if (file.open(current.programPath + kConfigFileName)) {
        file.readFirst(settings);
        file.readRest(settings);
    }
    return settings;
}

// A setting and the dialog's member that shows it; OK takes it back when `takenBack`.
template <class T>
struct DialogField {
    T Settings::*setting;
    T SettingsDialog::*shown;
    bool takenBack = true;
};
// Spelled out for compilers without deduction for aggregates (clang before 17 builds the fuzzers).
template <class T>
DialogField(T Settings::*, T SettingsDialog::*, bool = true) -> DialogField<T>;

constexpr std::tuple kDialogFields {
    DialogField {&Settings::usePassword, &SettingsDialog::usePassword},
    DialogField {&Settings::autoKeyboard, &SettingsDialog::autoKeyboard},
    DialogField {&Settings::skinName, &SettingsDialog::skinName},
    DialogField {&Settings::password, &SettingsDialog::password},
    DialogField {&Settings::timeFormat, &SettingsDialog::timeFormat},
    DialogField {&Settings::programPath, &SettingsDialog::programPath, false}, // only to find the skins
    DialogField {&Settings::dataPath, &SettingsDialog::dataPath, false},       // taken back below
};

template <class Copy>
void forEachField(Copy copy)
{
    std::apply([&](const auto&... field) { (copy(field), ...); }, kDialogFields);
}

} // namespace

void MainDialog::onSettings()
{
    m_settings = onDisk(m_settings);
    const Settings opened = m_settings;
    SettingsDialog dialog(m_ports.messages, m_ports.clock, m_ports.dialogs, m_keyboard);
    forEachField([&](const auto& field) { dialog.*field.shown = m_settings.*field.setting; });
    // Kept in the registry, not in config.dat, whose layout stays as it is.
    const std::u16string backupPath = RegistryKey(m_ports.registry, kRegistryKeyPath).readString(kBackupPathValue, u"");
    dialog.backupPath = backupPath;
    dialog.encryptDiary = [this] {
        onEncryptDiary();
        return encrypted();
    };

    if (m_ports.dialogs.run(SettingsDialog::kTemplateId, dialog)) {
        // What the dialog changed is ours; every other value is the file's as it is now.
        const Settings disk = onDisk(m_settings);
        forEachField([&](const auto& field) {
            const auto& chosen = dialog.*field.shown;
            if (field.takenBack)
                m_settings.*field.setting = chosen != opened.*field.setting ? chosen : disk.*field.setting;
        });
        std::u16string dataPath = dialog.dataPath;
        if (dataPath.empty() || dataPath.back() != u'/')
            dataPath += u'/';
        // The shown page belongs to the folder it came from: stored there first, or, when that
        // fails (the user is told), the folder stays so that the page is not written elsewhere.
        // An encrypted folder is taken only with its passphrase; Cancel keeps the folder in use.
        std::optional<DiaryKey> key;
        const bool other = dataPath != m_settings.dataPath;
        const bool lockedOut = other && needsUnlock(dataPath) && !(key = unlockDiary(dataPath, 3, false));
        const bool folderMoves = other && !lockedOut && m_day.storeShownPage();
        if (folderMoves)
            setDataFolder(dataPath, std::move(key));
        // The passphrase locks an encrypted diary; a password typed as it is has no place in config.dat.
        if (encrypted())
            m_settings.password.clear();
        {
            RegistryKey key(m_ports.registry, kRegistryKeyPath);
            key.writeString(kDataPathValue, m_settings.dataPath);
            if (dialog.backupPath != backupPath)
                key.writeString(kBackupPathValue, dialog.backupPath);
        }
        // Ending the process here would lose the open page; the old file stays as it was
        // and the new settings hold for this run.
        if (!writeConfig(m_settings.programPath + kConfigFileName, m_settings))
            m_ports.messages.show(textOf(TextId::SettingsNotSaved), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);

        Skin& skin = m_view.skin();
        const std::u16string folder = skinFolder();
        LoadSkin(skin, folder, {m_ports.graphics, m_ports.calendar, m_ports.messages, m_ports.window.clientSize(), m_day.weather()});
        skin.background = m_ports.graphics.loadBitmap(skinFile(folder, u"back.bmp"));
        m_editor.background = &skin.background;
        m_editor.area = skin.textArea;
        m_ports.edit.moveTo(m_editor.area);
        m_ports.edit.setMarginsZero();
        m_ports.edit.setFocus();
        applyEditorSettings();
        m_day.refreshPageButtons();
        if (folderMoves)
            m_navigation.reloadFromDataFolder();
    }
    m_editor.needsRedraw = true;
    m_ports.window.invalidate();
}

} // namespace pagelet
