#include "app/MainDialog.h"

#include "platform/Commands.h"
#include "diary/DateKey.h"
#include "diary/PageButtons.h"
#include "diary/PageFile.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"

namespace pagelet {

namespace {

const std::u16string kSaveFailedMessage = u"일기를 저장할 수 없습니다.\n데이터 폴더를 확인하시기 바랍니다.";

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
    showPageButtons(skin, {false, weather, true});
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
    showPageButtons(skin, {true, weather, std::nullopt});
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
    showPageButtons(skin, {true, weather, std::nullopt});
    editor.setEditable(true);
}

} // namespace pagelet
