#pragma once
// The program: start-up, the main window's logic that wires the diary, the skin view and the
// editor together and hands each command to its owner, close-down, and the soft keyboard.
#include "app/DayNavigation.h"
#include "app/PageCommands.h"
#include "app/PageJournal.h"
#include "app/PanelKeyboard.h"
#include "base/Day.h"
#include "crypto/KeyFile.h"
#include "diary/DayCalendar.h"
#include "diary/DayJournal.h"
#include "diary/DayMemo.h"
#include "diary/DayRecovery.h"
#include "diary/MemoRecorder.h"
#include "diary/ShownDay.h"
#include "settings/Settings.h"
#include "skin/SkinView.h"
#include "state/CrashJournal.h"
#include "state/PageHistory.h"
#include "store/DataFolderStore.h"
#include "store/FolderEncryption.h"
#include "text/Catalogue.h"
#include "ui/DiaryEdit.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace pagelet {

class CaseFolding;
class Clock;
class DialogPort;
class EditControl;
class Graphics;
class MainWindowPort;
class MessageBoxPort;
class MonthCalendar;
class ProcessExit;
class RegistryPort;
class SoftInputPanel;
class Surface;
class VoiceRecorderPort;

// Everything of the platform the main window talks to.
struct MainDialogPorts {
    MainWindowPort& window;
    MessageBoxPort& messages;
    RegistryPort& registry;
    ProcessExit& exit;
    MonthCalendar& calendar;
    EditControl& edit;
    Graphics& graphics;
    Clock& clock;
    DialogPort& dialogs;
    SoftInputPanel& softInput;
    VoiceRecorderPort& recorder;
    const CaseFolding& caseFolding;
};

// The main window's logic: starts up, wires the subsystems and dispatches commands to them.
// The platform layer forwards its events to the handlers of the same names.
class MainDialog {
public:
    explicit MainDialog(const MainDialogPorts& ports);

    // Start-up sequence; false when it ended the process (a fatal exit).
    bool OnInitDialog();
    // The same in three steps, each of which a window can leave until the last has been
    // painted: all the first paint needs (settings, password, skin, the day and its marks);
    // the editor and the page's text; the sweep of temporary files, the day marks and the crash
    // journal's question. Each step does the ones before it that have not been done.
    bool beginStart();
    void finishStart();
    void settleStart();
    bool startFinished() const { return m_startFinished; }
    bool startSettled() const { return m_startSettled; }
    // Asked before the window goes away; false keeps the window open.
    bool OnClose();
    // Stores the page being written without asking, when the program is ended from outside
    // the window (a signal, the session's end): a page that can't be stored stays in the crash
    // journal, asked for at the next start. False only when it could be kept nowhere (the user
    // was told).
    bool storeOrKeepBeforeQuit();
    // Releases the skin when the window goes away.
    void OnDestroy();

    // Command messages of the skin's buttons; always answers 0.
    int onCommand(int command, std::intptr_t wParam, std::intptr_t lParam);

    // Notifications of controls (the voice recorder's closing); they go on to the day.
    void OnNotify(int code);
    // A command from a key or the window's menu, acting as a tap on its button would.
    bool tap(int command) { return m_view.tap(command); }
    bool canTap(int command) const { return m_view.canTap(command); }
    // Escape: closes the calendar pop-up when it is open, as its button would.
    bool closeCalendar();

    // The soft input panel moved: on, and its top in client coordinates when known.
    void onSoftInputPanelChanged(bool known, bool on, int panelTop);

    // Paint and pen.
    void OnPaint(Surface& window);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp();

    // The subsystems, for the window's event forwarding and for tests.
    ShownDay& day() { return m_day; }
    const ShownDay& day() const { return m_day; }
    DayCalendar& calendar() { return m_calendar; }
    DayNavigation& navigation() { return m_navigation; }
    PageCommands& commands() { return m_commands; }
    MemoRecorder& memo() { return m_memoRecorder; }
    DayRecovery& recovery() { return m_recovery; }
    // The page being written goes to the crash journal (the window calls keep a moment after a
    // change, never on the keystroke itself).
    PageJournal& pageJournal() { return m_pageJournal; }
    DiaryEdit& editor() { return m_editor; }
    Skin& skin() { return m_view.skin(); }
    Settings& settings() { return m_settings; }
    const Settings& settings() const { return m_settings; }
    // The data folder and the page store over it move together: an encrypted folder's store
    // and crash journal take its diary key.
    void setDataFolder(const std::u16string& folder, std::optional<DiaryKey> key = std::nullopt);
    PageStore& pages() { return m_pages; }
    // Older versions of the pages, and the crash journal, are kept under root (the state folder)
    // from the next data folder on; without it, none are. Null until then.
    // failed is called the first time a version can't be kept.
    void keepHistoryUnder(std::u16string root, std::function<void()> failed = {});
    PageHistory* history() { return m_history.get(); }
    CrashJournal* journal() { return m_journal.get(); }
    SoftKeyboard& keyboard() { return m_keyboard; }
    // A store over the data folder in use for another thread, with a copy of its key.
    std::unique_ptr<PlainPageStore> storeOfItsOwn() const;
    // True when the data folder in use is encrypted.
    bool encrypted() const;
    // "일기 암호화...": encrypts a plain diary, or changes the passphrase of an encrypted one or
    // decrypts it.
    void onEncryptDiary();

    // How a new passphrase is derived and what a key file may ask; tests make both cheap.
    KdfParams kdf = kDefaultKdf;
    KdfLimits kdfLimits = kFileKdfLimits;

private:
    std::u16string skinFolder() const;
    Rect memoButtonRect(std::intptr_t wParam);
    void onSettings();
    void onFind();
    // The passphrase of the encrypted folder asked, tries times; nothing after a message, a
    // wrong passphrase or Cancel. file gets the key file read.
    // Only at start does the last wrong try end the program, and only that prompt says so.
    // Whether the folder must be unlocked: encrypted, or its key file gone.
    bool needsUnlock(const std::u16string& folder) const;
    // Keeps the folder's key file in the state folder (or forgets it after a decrypt).
    void recordKeyFile(const std::u16string& folder, bool encrypted) const;
    std::optional<DiaryKey> unlockDiary(const std::u16string& folder, int tries, bool atStart,
                                        std::optional<KeyFile>* file = nullptr);
    void encryptPlainDiary();
    void changeEncryptedDiary();
    // After a conversion: the shown page read again from the store now in use.
    void showConverted(const Conversion& done, TextId told);
    // untick: "use password" goes off too, as when the diary is encrypted in the window.
    void forgetPassword(bool untick = false);
    void fatalExit(const std::u16string& message);
    void fitBackground(const std::u16string& skinFolder);
    void createEditor();
    void applyEditorSettings();

    MainDialogPorts m_ports;
    bool m_startFinished = false;
    bool m_startSettled = false;
    Settings m_settings;
    DataFolderStore m_pages;
    std::u16string m_stateRoot;
    std::function<void()> m_historyFailed;
    std::unique_ptr<PageHistory> m_history;
    std::unique_ptr<CrashJournal> m_journal;
    PanelKeyboard m_keyboard;
    DiaryEdit m_editor;
    SkinView m_view;
    DayJournal m_dayJournal;
    DayMemo m_memo;
    ShownDay m_day;
    DayCalendar m_calendar;
    MemoRecorder m_memoRecorder;
    DayRecovery m_recovery;
    DayNavigation m_navigation;
    PageCommands m_commands;
    PageJournal m_pageJournal;
};

// Line height from the system font: 6 to 30 pixels, else 14.
int lineHeightFor(int systemFontHeight);

} // namespace pagelet
