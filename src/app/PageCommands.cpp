#include "app/PageCommands.h"

#include "diary/MemoRecorder.h"
#include "diary/PageButtons.h"
#include "diary/ShownDay.h"
#include "platform/Commands.h"
#include "platform/MainWindow.h"
#include "skin/Skin.h"
#include "store/PageStore.h"
#include "ui/DiaryEdit.h"

namespace pagelet {

void PageCommands::onWeather()
{
    SkinElement* button = m_skin.findElement(CMD_WEATHER);
    if (!button)
        return;
    m_day.setWeather((m_day.weather() + 1) % 5);
    button->cell = m_day.weather();
    // A change of the page like typing: the close asks before it is lost.
    m_editor.saved = false;
}

void PageCommands::onEdit()
{
    showPageButtons(m_skin, {true, std::nullopt, std::nullopt});
    m_editor.setEditable(true);
    // The weather and time stamp buttons changed their look too.
    m_window.invalidate();
}

void PageCommands::onSave()
{
    showPageButtons(m_skin, {false, std::nullopt, std::nullopt});
    m_day.storeShownPage();
    m_window.invalidate();
}

void PageCommands::onDelete()
{
    // The memo went with the page: its button's frame follows.
    if (m_day.deletePage())
        m_recorder.repaintButton();
}

void PageCommands::restoreVersion(const Page& page)
{
    if (m_day.hasUnstoredText())
        m_pages.keepUnstored(localDate(m_day.selectedDay()), {m_day.weather(), m_editor.text});
    m_day.takeVersion(page);
    m_editor.saved = false;
}

} // namespace pagelet
