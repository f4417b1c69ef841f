#include "app/MainDialog.h"

#include "platform/Commands.h"
#include "app/SoftKeyboard.h"
#include "base/FileIo.h"
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

#include <algorithm>

namespace pagelet {

namespace {
const Size kSkinBaseSize {240, 270};
}

int lineHeightFor(int systemFontHeight)
{
    return systemFontHeight >= 6 && systemFontHeight <= 30 ? systemFontHeight : 14;
}

MainDialog::MainDialog(const MainDialogPorts& ports) : editor(ports.edit, ports.graphics), m_ports(ports) {}

MainDialog::~MainDialog()
{
    // The helper is process-wide; it must not keep a panel that goes away with this window.
    if (softKeyboardOwner() == &m_ports.softInput)
        setSoftKeyboardOwner(nullptr);
}

void MainDialog::fatalExit(const std::u16string& message)
{
    m_ports.messages.show(message, kAppTitle, MessageButtons::Ok, MessageIcon::None);
    m_ports.exit.exit(0);
}

std::u16string MainDialog::skinFolder() const
{
    return resolveIgnoringCase(settings.programPath + u"skin/" + settings.skinName + u"/");
}

bool MainDialog::OnInitDialog()
{
    setSoftKeyboardOwner(&m_ports.softInput);

    RegistryKey key(m_ports.registry, kRegistryKeyPath);
    const std::u16string program = key.readString(u"Program Path", u"");
    if (program.empty()) {
        fatalExit(u"정상적으로 설치되지 않았습니다.\n다시 설치하시기 바랍니다.");
        return false;
    }
    settings.programPath = program + u"/";
    const std::u16string data = key.readString(u"Data Path", u"");
    settings.dataPath = data.empty() ? settings.programPath + u"diary/" : data;
    if (settings.dataPath.back() != u'/')
        settings.dataPath += u'/';
    key.writeString(u"Data Path", settings.dataPath);
    // A save cut short by a crash leaves its temporary file; the page itself is whole.
    removeTemporaryFiles(settings.dataPath);

    skin.pressedElement = nullptr;
    settings.skinName = u"default";
    calendarVisible = false;
    skin.editTextColor = 0x000000;
    skin.viewTextColor = 0x707070;
    settings.timeFormat = 0;

    ConfigFile config;
    if (!config.open(settings.programPath + kConfigFileName)) {
        fatalExit(u"설정파일이 존재하지 않습니다.\n다시 설치하시기 바랍니다.");
        return false;
    }
    config.readFirst(settings);
    if (settings.usePassword != 0) {
        PasswordDialog prompt(settings.password, 3, m_ports.messages);
        if (!m_ports.dialogs.runPassword(prompt)) {
            fatalExit(u"프로그램을 종료합니다.");
            return false;
        }
    }
    config.readRest(settings);

    LoadSkin(skin, skinFolder(), {m_ports.graphics, m_ports.calendar, m_ports.messages, m_ports.window.clientSize(), weather});
    fitBackground();
    createEditor();
    editor.lineHeight = lineHeightFor(m_ports.graphics.systemFontHeight());

    selectedDay = m_ports.calendar.today();
    previousDay = selectedDay;
    if (!loadPage(selectedDay))
        showEmptyPage();
    scanDayMarks();
    return true;
}

void MainDialog::fitBackground()
{
    skin.background.reset();
    auto loaded = m_ports.graphics.loadBitmap(resolveIgnoringCase(skinFolder() + u"back.bmp"));
    const Size client = m_ports.window.clientSize();
    if (loaded && (client.width > kSkinBaseSize.width || client.height > kSkinBaseSize.height))
        skin.background = m_ports.graphics.stretchRegion(*loaded, kSkinBaseSize, client);
    else
        skin.background = std::move(loaded);
}

void MainDialog::createEditor()
{
    editor.background = &skin.background;
    editor.create(skin.textArea);
    applyEditorSettings();
}

void MainDialog::applyEditorSettings()
{
    editor.editTextColor = skin.editTextColor;
    editor.viewTextColor = skin.viewTextColor;
    editor.autoKeyboard = settings.autoKeyboard != 0;
}

bool MainDialog::OnClose()
{
    if (editor.saved)
        return true;
    const auto answer = m_ports.messages.show(u"프로그램을 종료하기 전에\n데이터를 저장하시겠습니까?", kAppTitle,
                                              MessageButtons::YesNo, MessageIcon::Question);
    if (answer != MessageAnswer::Yes)
        return true;
    return storeShownPage();
}

bool MainDialog::storeBeforeQuit()
{
    return editor.saved || storeShownPage();
}

void MainDialog::OnDestroy()
{
    skin.background.reset();
    skin.etcStrip.reset();
    skin.numberStrip.reset();
    skin.weekdayStrip.reset();
    skin.weatherStrip.reset();
    skin.button1Strip.reset();
    skin.button2Strip.reset();
    skin.DeleteSkinElements();
}

void MainDialog::onSoftInputPanelChanged(bool known, bool on, int panelTop)
{
    if (!known || skin.textArea.right == skin.textArea.left)
        return;
    int bottom = skin.textArea.bottom;
    if (on)
        bottom = std::min(skin.textArea.bottom, panelTop - 25);
    // A panel covering nearly the whole window must not turn the editor inside out.
    editor.area.bottom = std::max(bottom, editor.area.top);
    m_ports.edit.moveTo(editor.area);
    editor.relayout();
    setSoftKeyboardState(on);
    m_ports.window.invalidate();
}

int MainDialog::onCommand(int command, std::intptr_t wParam, std::intptr_t)
{
    switch (command) {
    case CMD_WEATHER: onWeather(); break;
    case CMD_PREV_DAY: onPrevDay(); break;
    case CMD_TODAY: onToday(); break;
    case CMD_NEXT_DAY: onNextDay(); break;
    case CMD_CALENDAR: onCalendar(); break;
    case CMD_SETTINGS: onSettings(); break;
    case CMD_EDIT: onEdit(); break;
    case CMD_SAVE: onSave(); break;
    case CMD_DELETE: onDelete(); break;
    case CMD_VOICE: onVoice(wParam); break;
    case CMD_TIMESTAMP: onTimestamp(); break;
    case CMD_FIND: onFind(); break;
    default: break;
    }
    return 0;
}

// Deleting pages, voice memos and find come later.
void MainDialog::onDelete() {}
void MainDialog::onVoice(std::intptr_t) {}
void MainDialog::onFind() {}

} // namespace pagelet
