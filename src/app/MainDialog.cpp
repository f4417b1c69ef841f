#include "app/MainDialog.h"

#include "app/PassphraseGate.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "platform/Commands.h"
#include "platform/Dialogs.h"
#include "platform/EditControl.h"
#include "platform/Graphics.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"
#include "platform/MonthCalendar.h"
#include "platform/ProcessExit.h"
#include "settings/ConfigFile.h"
#include "settings/PasswordDialog.h"
#include "settings/RegistryKey.h"
#include "skin/LoadSkin.h"
#include "ui/TimeStamp.h"
#include "skin/SkinFolder.h"
#include "state/KeyFileCopy.h"
#include "store/EncryptedPageStore.h"
#include "text/Catalogue.h"

#include <algorithm>

namespace pagelet {

namespace {
const Size kSkinBaseSize {240, 270};
}

// The memo button sends its own rectangle; a command sent without it takes the button's.
Rect MainDialog::memoButtonRect(std::intptr_t wParam)
{
    if (wParam != 0 && wParam != -1)
        return *reinterpret_cast<const Rect*>(wParam);
    const SkinElement* memo = m_view.skin().findElement(CMD_VOICE);
    return memo ? memo->rect : Rect {};
}

int lineHeightFor(int systemFontHeight)
{
    return systemFontHeight >= 6 && systemFontHeight <= 30 ? systemFontHeight : 14;
}

MainDialog::MainDialog(const MainDialogPorts& ports)
    : m_ports(ports),
      m_keyboard(ports.softInput),
      m_editor(ports.edit, ports.graphics, m_keyboard),
      m_view(ports.window, ports.edit, m_editor),
      m_memo(m_pages, ports.messages),
      m_day({ports.window, ports.messages, ports.calendar, m_editor, m_view.skin(), m_pages, m_dayJournal, m_memo}),
      m_calendar(ports.calendar, ports.window, m_editor, m_view.skin(), m_pages, m_day),
      m_memoRecorder(ports.window, ports.messages, ports.recorder, m_editor, m_view.skin(), m_pages, m_day, m_memo),
      m_recovery({ports.window, ports.messages, m_editor, m_view.skin(), m_pages, m_day, m_calendar, m_dayJournal, m_memo,
                  m_memoRecorder}),
      m_navigation({ports.window, ports.calendar, m_editor, m_view.skin(), m_pages, m_day, m_calendar, m_recovery, m_memo}),
      m_commands(m_day, m_editor, m_view.skin(), ports.window, m_pages, m_memoRecorder),
      m_pageJournal(m_day, m_dayJournal, m_editor)
{
}

void MainDialog::setDataFolder(const std::u16string& folder, std::optional<DiaryKey> key)
{
    m_settings.dataPath = folder;
    m_dayJournal.attach(nullptr);
    m_journal.reset();
    m_history.reset();
    // The journal seals with a copy of the key the store keeps.
    std::optional<DiaryKey> journalKey = key ? key->copy() : std::nullopt;
    m_pages.use(openPageStore(folder, std::move(key)));
    if (m_stateRoot.empty())
        return;
    m_journal = std::make_unique<CrashJournal>(StateFolder(m_stateRoot, folder), std::move(journalKey));
    m_dayJournal.attach(m_journal.get());
    // The store hands the history the bytes as they are on disk: sealed ones for an encrypted diary.
    m_history = std::make_unique<PageHistory>(StateFolder(m_stateRoot, folder));
    m_history->failed = m_historyFailed;
    m_pages.current().setKeeper(m_history.get());
}

std::unique_ptr<PlainPageStore> MainDialog::storeOfItsOwn() const
{
    const auto* sealed = dynamic_cast<const EncryptedPageStore*>(&m_pages.current());
    return openPageStore(m_settings.dataPath, sealed ? sealed->key().copy() : std::nullopt);
}

bool MainDialog::encrypted() const
{
    return dynamic_cast<const EncryptedPageStore*>(&m_pages.current()) != nullptr;
}

bool MainDialog::needsUnlock(const std::u16string& folder) const
{
    if (m_stateRoot.empty())
        return isEncryptedFolder(folder) || holdsSealedFile(folder);
    return folderLock(folder, KeyFileCopy(StateFolder(m_stateRoot, folder))) != FolderLock::Plain;
}

void MainDialog::recordKeyFile(const std::u16string& folder, bool encrypted) const
{
    if (m_stateRoot.empty())
        return;
    const KeyFileCopy copy(StateFolder(m_stateRoot, folder));
    if (encrypted)
        copy.keepFrom(folder);
    else
        copy.forget();
}

std::optional<DiaryKey> MainDialog::unlockDiary(const std::u16string& folder, int tries, bool atStart,
                                                std::optional<KeyFile>* file)
{
    // A key file gone from an encrypted folder: the state folder's copy opens it and is put
    // back; without one nothing is written, least of all a plain page beside the sealed ones.
    std::optional<Bytes> kept;
    if (!isEncryptedFolder(folder)) {
        if (!m_stateRoot.empty())
            kept = KeyFileCopy(StateFolder(m_stateRoot, folder)).read();
        if (!kept) {
            m_ports.messages.show(textOf(TextId::KeyFileMissing), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
            return std::nullopt;
        }
    }
    KeyFileRead read = kept ? parseKeyFile(*kept, kdfLimits) : readFolderKeyFile(folder, kdfLimits);
    if (!read) {
        m_ports.messages.show(withArgument(textOf(TextId::KeyFileUnreadable), fromUtf8(read.error())), kAppTitle,
                              MessageButtons::Ok, MessageIcon::Exclamation);
        return std::nullopt;
    }
    PassphraseGate gate(*read, kdfLimits, tries, m_ports.messages, m_keyboard);
    if (!atStart)
        gate.prompt = textOf(TextId::PassphraseKeepsDiary);
    if (!m_ports.dialogs.run(PassphraseGate::kTemplateId, gate))
        return std::nullopt;
    if (kept && !KeyFileCopy(StateFolder(m_stateRoot, folder)).putBack(folder)) {
        m_ports.messages.show(textOf(TextId::KeyFileNotWritten), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
        return std::nullopt;
    }
    recordKeyFile(folder, true);
    if (file)
        *file = std::move(*read);
    return std::move(gate.key);
}

void MainDialog::forgetPassword(bool untick)
{
    // The passphrase is the lock now; the start-up password would only lie in config.dat as typed.
    m_settings.password.clear();
    if (untick)
        m_settings.usePassword = 0;
    ConfigFile config;
    Settings disk = m_settings;
    if (config.open(m_settings.programPath + kConfigFileName)) {
        config.readFirst(disk);
        config.readRest(disk);
    }
    if (!disk.password.empty() || (untick && disk.usePassword != 0)) {
        disk.password.clear();
        if (untick)
            disk.usePassword = 0;
        writeConfig(m_settings.programPath + kConfigFileName, disk);
    }
}

void MainDialog::keepHistoryUnder(std::u16string root, std::function<void()> failed)
{
    m_stateRoot = std::move(root);
    m_historyFailed = std::move(failed);
}

void MainDialog::fatalExit(const std::u16string& message)
{
    m_ports.messages.show(message, kAppTitle, MessageButtons::Ok, MessageIcon::None);
    m_ports.exit.exit(0);
}

std::u16string MainDialog::skinFolder() const
{
    return skinFolderOf(m_settings.programPath, m_settings.skinName);
}

bool MainDialog::OnInitDialog()
{
    if (!beginStart())
        return false;
    settleStart();
    return true;
}

bool MainDialog::beginStart()
{
    RegistryKey key(m_ports.registry, kRegistryKeyPath);
    const std::u16string program = key.readString(kProgramPathValue, u"");
    if (program.empty()) {
        fatalExit(textOf(TextId::NotInstalled));
        return false;
    }
    m_settings.programPath = program + u"/";
    const std::u16string data = key.readString(kDataPathValue, u"");
    std::u16string folder = data.empty() ? m_settings.programPath + u"diary/" : data;
    if (folder.back() != u'/')
        folder += u'/';
    m_settings.dataPath = folder;
    // Written only when it differs: a start that changes nothing writes nothing.
    if (data != m_settings.dataPath)
        key.writeString(kDataPathValue, m_settings.dataPath);

    Skin& skin = m_view.skin();
    skin.pressedElement = nullptr;
    m_settings.skinName = u"default";
    skin.editTextColor = 0x000000;
    skin.viewTextColor = 0x707070;
    m_settings.timeFormat = 0;

    ConfigFile config;
    if (!config.open(m_settings.programPath + kConfigFileName)) {
        fatalExit(textOf(TextId::NoConfigFile));
        return false;
    }
    config.readFirst(m_settings);
    std::optional<DiaryKey> diaryKey;
    // An encrypted diary always asks, whatever "use password" says: the passphrase is its key.
    if (needsUnlock(folder)) {
        diaryKey = unlockDiary(folder, 3, true);
        if (!diaryKey) {
            fatalExit(textOf(TextId::Quitting));
            return false;
        }
    } else if (m_settings.usePassword != 0) {
        PasswordDialog prompt(m_settings.password, 3, m_ports.messages, m_keyboard);
        if (!m_ports.dialogs.run(PasswordDialog::kTemplateId, prompt)) {
            fatalExit(textOf(TextId::Quitting));
            return false;
        }
    }
    config.readRest(m_settings);
    const bool locked = diaryKey.has_value();
    setDataFolder(folder, std::move(diaryKey));
    if (locked && !m_settings.password.empty())
        forgetPassword();

    const std::u16string skinDir = skinFolder();
    LoadSkin(skin, skinDir, {m_ports.graphics, m_ports.calendar, m_ports.messages, m_ports.window.clientSize(), m_day.weather()});
    fitBackground(skinDir);
    m_navigation.selectStartDay(m_ports.calendar.today());
    return true;
}

void MainDialog::finishStart()
{
    if (m_startFinished)
        return;
    m_startFinished = true;
    // The first text laid out: the font set-up, the costliest part of a start.
    createEditor();
    m_editor.lineHeight = lineHeightFor(m_ports.graphics.systemFontHeight());
    m_navigation.showStartPage();
}

void MainDialog::settleStart()
{
    if (m_startSettled)
        return;
    finishStart();
    m_startSettled = true;
    // A save cut short by a crash leaves its temporary file; the page itself is whole. Both
    // this and the day marks read the whole folder: years of pages would delay the page.
    removeTemporaryFiles(m_settings.dataPath);
    m_calendar.scanDayMarks();
    m_recovery.offerJournal();
    // The start day's page copies too: among them a plain page an encrypted diary doesn't trust.
    m_recovery.offerConflictCopies();
    m_memoRecorder.offerCopies();
}

void MainDialog::fitBackground(const std::u16string& skinFolder)
{
    Skin& skin = m_view.skin();
    skin.background.reset();
    auto loaded = m_ports.graphics.loadBitmap(skinFile(skinFolder, u"back.bmp"));
    const Size client = m_ports.window.clientSize();
    if (loaded && (client.width > kSkinBaseSize.width || client.height > kSkinBaseSize.height))
        skin.background = m_ports.graphics.stretchRegion(*loaded, kSkinBaseSize, client);
    else
        skin.background = std::move(loaded);
}

void MainDialog::createEditor()
{
    const Skin& skin = m_view.skin();
    m_editor.background = &skin.background;
    m_editor.create(skin.textArea);
    applyEditorSettings();
}

void MainDialog::applyEditorSettings()
{
    const Skin& skin = m_view.skin();
    m_editor.editTextColor = skin.editTextColor;
    m_editor.viewTextColor = skin.viewTextColor;
    m_editor.autoKeyboard = m_settings.autoKeyboard != 0;
}

bool MainDialog::OnClose()
{
    if (m_editor.saved)
        return true;
    const auto answer = m_ports.messages.show(textOf(TextId::SaveBeforeQuit), kAppTitle,
                                              MessageButtons::YesNo, MessageIcon::Question);
    // Escape or closing the box is no answer: the window stays with its page.
    if (answer == MessageAnswer::Cancel)
        return false;
    if (answer != MessageAnswer::Yes) {
        m_pageJournal.drop();
        return true;
    }
    return m_day.storeShownPage();
}

bool MainDialog::storeOrKeepBeforeQuit()
{
    if (!m_startFinished)
        return true; // nothing could be written before the page was shown
    // Ending without a question (a signal, a logout): a message would hold the end up for nobody.
    if (m_editor.saved || m_day.savePage(m_day.selectedDay(), SecondWriter::Telling::Nobody) || m_editor.text.empty())
        return true;
    return m_pageJournal.keepNow() || m_day.storeShownPage();
}

void MainDialog::OnDestroy()
{
    m_view.release();
}

void MainDialog::OnPaint(Surface& window)
{
    m_view.OnPaint(window, m_day.selectedDay(), m_memoRecorder.hasMemo());
}

void MainDialog::OnLButtonDown(int x, int y)
{
    m_view.OnLButtonDown(x, y);
}

void MainDialog::OnLButtonUp()
{
    m_view.OnLButtonUp();
}

void MainDialog::onSoftInputPanelChanged(bool known, bool on, int panelTop)
{
    const Skin& skin = m_view.skin();
    if (!known || skin.textArea.right == skin.textArea.left)
        return;
    int bottom = skin.textArea.bottom;
    if (on)
        bottom = std::min(skin.textArea.bottom, panelTop - 25);
    // A panel covering nearly the whole window must not turn the editor inside out.
    m_editor.area.bottom = std::max(bottom, m_editor.area.top);
    m_ports.edit.moveTo(m_editor.area);
    m_editor.relayout();
    m_keyboard.setState(on);
    m_ports.window.invalidate();
}

void MainDialog::OnNotify(int code)
{
    m_memoRecorder.OnNotify(code);
}

bool MainDialog::closeCalendar()
{
    if (!m_calendar.visible())
        return false;
    m_calendar.toggle();
    return true;
}

int MainDialog::onCommand(int command, std::intptr_t wParam, std::intptr_t)
{
    switch (command) {
    case CMD_WEATHER: m_commands.onWeather(); break;
    case CMD_PREV_DAY: m_navigation.onPrevDay(); break;
    case CMD_TODAY: m_navigation.onToday(); break;
    case CMD_NEXT_DAY: m_navigation.onNextDay(); break;
    case CMD_CALENDAR: m_calendar.toggle(); break;
    case CMD_SETTINGS: onSettings(); break;
    case CMD_EDIT: m_commands.onEdit(); break;
    case CMD_SAVE: m_commands.onSave(); break;
    case CMD_TIMESTAMP: insertTimeStamp(m_editor, m_ports.clock, m_settings.timeFormat); break;
    case CMD_DELETE: m_commands.onDelete(); break;
    case CMD_VOICE: m_memoRecorder.startMemo(memoButtonRect(wParam)); break;
    case CMD_FIND: onFind(); break;
    default: break;
    }
    return 0;
}

} // namespace pagelet
