#include "app/MainDialog.h"

#include "app/Commands.h"
#include "diary/DateKey.h"
#include "diary/PageFile.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"

namespace pagelet {

namespace {

const std::u16string kSaveFailedMessage = u"일기를 저장할 수 없습니다.\n데이터 폴더를 확인하시기 바랍니다.";

// The buttons of editing: saving offered, weather and time stamp enabled, delete untouched.
void showEditingButtons(Skin& skin, std::int32_t weather)
{
    for (auto& e : skin.elements) {
        if (e->command == CMD_EDIT) {
            e->command = CMD_SAVE;
            e->cell = 0;
        }
        if (e->command == CMD_WEATHER) {
            e->cell = weather;
            e->enabled = true;
        }
        if (e->command == CMD_TIMESTAMP)
            e->enabled = true;
    }
}

} // namespace

std::u16string MainDialog::pagePath(DayValue day) const
{
    return settings.dataPath + makeDateKey(day) + kPageExtension;
}

std::u16string MainDialog::memoPath(DayValue day) const
{
    return settings.dataPath + makeDateKey(day) + u".wav";
}

bool MainDialog::loadPage(DayValue day)
{
    const std::u16string path = pagePath(day);
    if (!dayFileExists(path)) {
        if (SkinElement* del = skin.findElement(CMD_DELETE))
            del->enabled = false;
        return false;
    }
    LoadedPage loaded = readPageFile(path);
    if (loaded.state != PageFileState::Readable)
        return false;

    weather = loaded.page.weather;
    editor.setText(loaded.page.text);
    for (auto& e : skin.elements) {
        if (e->command == CMD_SAVE) {
            e->command = CMD_EDIT;
            e->cell = 1;
        }
        if (e->command == CMD_WEATHER) {
            e->cell = weather;
            e->enabled = false;
        }
        if (e->command == CMD_TIMESTAMP)
            e->enabled = false;
        if (e->command == CMD_DELETE)
            e->enabled = true;
    }
    editor.setEditable(false);
    return true;
}

bool MainDialog::savePage(DayValue day)
{
    // Saving always ends editing, whatever happens to the file.
    editor.setEditable(false);
    if (storePageFile(pagePath(day), {weather, editor.text}) != StoreResult::Written)
        return false;
    editor.saved = true;
    return true;
}

bool MainDialog::storeShownPage()
{
    if (savePage(selectedDay) || editor.text.empty())
        return true;
    // Stay on the page: its text remains, unsaved, and saving is offered again.
    showEditingButtons(skin, weather);
    editor.setEditable(true);
    editor.saved = false;
    m_ports.window.invalidate();
    m_ports.messages.show(kSaveFailedMessage, kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
    return false;
}

void MainDialog::showEmptyPage()
{
    weather = 0;
    editor.setText(u"");
    showEditingButtons(skin, weather);
    editor.setEditable(true);
}

} // namespace pagelet
