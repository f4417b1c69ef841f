#include "diary/ShownDay.h"

#include "diary/DayJournal.h"
#include "diary/DayMemo.h"
#include "diary/PageButtons.h"
#include "platform/Commands.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"
#include "platform/MonthCalendar.h"
#include "skin/Skin.h"
#include "store/PageStore.h"
#include "text/Catalogue.h"
#include "ui/DiaryEdit.h"

namespace pagelet {

ShownDay::ShownDay(const ShownDayParts& parts) : m_parts(parts), m_stored(parts.pages, parts.messages) {}

std::u16string ShownDay::pagePath(DayValue day) const
{
    return m_parts.pages.pageLocation(localDate(day));
}

bool ShownDay::loadPage(DayValue day)
{
    return showLoaded(day, m_parts.pages.read(localDate(day)));
}

bool ShownDay::showLoaded(DayValue day, LoadedPage loaded)
{
    const LocalDate date = localDate(day);
    // Only a refused open needs the second look: what can't even be looked at counts as no page.
    // A plain page an encrypted diary doesn't trust is offered as a conflict copy, not shown.
    if (loaded.state == PageFileState::Missing || (loaded.state == PageFileState::Unreadable && !m_parts.pages.hasPage(date)) ||
        loaded.fault == PageFault::Untrusted) {
        if (SkinElement* del = m_parts.skin.findElement(CMD_DELETE))
            del->enabled = false;
        return false;
    }
    if (loaded.state != PageFileState::Readable) {
        // Shown as an empty page, it would look like a day without one.
        m_parts.messages.show(dataFolderProblem(TextId::PageUnreadable), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }

    DiaryEdit& editor = m_parts.editor;
    m_weather = loaded.page.weather;
    editor.setText(loaded.page.text);
    if (editor.keepsText(loaded.page.text)) {
        // The page is its own stored form: no copy read back out of the editor, whose fresh
        // memory is a good part of a change of day.
        m_stored.note(pagePath(day), {m_weather, std::move(loaded.page.text)});
    } else {
        noteStored(day);
    }
    m_stored.others().noteFile(loaded.stamp);
    showPageButtons(m_parts.skin, {false, m_weather, true});
    editor.setEditable(false);
    return true;
}

void ShownDay::noteStored(DayValue day)
{
    // The editor's form of the text: a page written with other line breaks is not a change.
    m_stored.note(pagePath(day), {m_weather, m_parts.editor.text});
}

bool ShownDay::unchangedSinceStored(DayValue day) const
{
    return m_stored.holds(pagePath(day), m_weather, m_parts.editor.text);
}

bool ShownDay::savePage(DayValue day, SecondWriter::Telling telling)
{
    DiaryEdit& editor = m_parts.editor;
    SecondWriter& others = m_stored.others();
    // Saving always ends editing, whatever happens to the file.
    editor.setEditable(false);
    if (m_stored.isAt(pagePath(day))) {
        auto outcome = others.beforeStore(localDate(day), m_stored.page(), m_weather, editor.text, telling);
        if (outcome.kind == SecondWriter::Outcome::Kind::ShowTheirs) {
            showOutsidePage(outcome.page);
            editor.saved = true;
            return !editor.text.empty();
        }
        if (outcome.kind == SecondWriter::Outcome::Kind::StoreMerged) {
            m_weather = outcome.page.weather;
            editor.setText(outcome.page.text);
            // The other writer's weather mark may have won: the button shows what is stored.
            showPageButtons(m_parts.skin, {false, m_weather, std::nullopt});
        }
    }
    // Rewriting an unchanged page would fail on a read-only folder and change what other
    // tools wrote; its file already holds what the editor shows.
    if (unchangedSinceStored(day)) {
        editor.saved = true;
        m_parts.journal.settle(localDate(day), m_stored.page());
        return !editor.text.empty();
    }
    std::u16string path = pagePath(day);
    Page page {m_weather, editor.text};
    const StoreResult result = m_parts.pages.write(localDate(day), page, others.stamp());
    if (result == StoreResult::Failed) {
        // What could not be stored is what the journal must hold now, not a second ago.
        m_parts.journal.keep(localDate(day), std::move(page));
        return false;
    }
    m_parts.journal.settle(localDate(day), page);
    // noteStored's effect, without copying the page a second time.
    m_stored.note(std::move(path), std::move(page));
    if (result != StoreResult::Written)
        return false;
    editor.saved = true;
    return true;
}

bool ShownDay::storeShownPage()
{
    DiaryEdit& editor = m_parts.editor;
    if (savePage(m_selectedDay) || editor.text.empty())
        return true;
    // Stay on the page: its text remains, unsaved, and saving is offered again.
    showPageButtons(m_parts.skin, {true, m_weather, std::nullopt});
    editor.setEditable(true);
    editor.saved = false;
    m_parts.window.invalidate();
    m_parts.messages.show(dataFolderProblem(TextId::PageNotSaved), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
    return false;
}

void ShownDay::showEmptyPage()
{
    m_weather = 0;
    m_parts.editor.setText(u"");
    noteStored(m_selectedDay);
    m_stored.others().noteFile(m_parts.pages.stampOf(localDate(m_selectedDay)));
    showPageButtons(m_parts.skin, {true, m_weather, std::nullopt});
    m_parts.editor.setEditable(true);
}

void ShownDay::showOutsidePage(const Page& page)
{
    DiaryEdit& editor = m_parts.editor;
    m_weather = page.weather;
    editor.setText(page.text);
    noteStored(m_selectedDay);
    showPageButtons(m_parts.skin, {editor.editable, m_weather, !page.text.empty()});
    editor.needsRedraw = true;
    m_parts.window.invalidate();
}

void ShownDay::refreshPageButtons()
{
    showPageButtons(m_parts.skin, {m_parts.editor.editable, m_weather, m_parts.pages.hasPage(localDate(m_selectedDay))});
}

bool ShownDay::showDay(DayValue day)
{
    m_selectedDay = day;
    const bool found = loadPage(m_selectedDay);
    if (!found)
        showEmptyPage();
    m_parts.calendar.setSelection(m_selectedDay);
    m_parts.memo.show(localDate(m_selectedDay));
    return found;
}

void ShownDay::takeVersion(const Page& page)
{
    DiaryEdit& editor = m_parts.editor;
    m_weather = page.weather;
    editor.setText(page.text);
    showPageButtons(m_parts.skin, {true, std::nullopt, std::nullopt});
    editor.setEditable(true);
    // The weather and time stamp buttons change their look too.
    m_parts.window.invalidate();
    showPageButtons(m_parts.skin, {true, m_weather, !page.text.empty()});
    editor.needsRedraw = true;
}

// Both files go or neither: an editor emptied over a page that stays on disk would let the user
// believe the day erased.
bool ShownDay::deletePage()
{
    MessageBoxPort& messages = m_parts.messages;
    if (messages.show(textOf(TextId::DeletePageQuestion), kAppTitle, MessageButtons::YesNo, MessageIcon::Question) != MessageAnswer::Yes)
        return false;
    const LocalDate date = localDate(m_selectedDay);
    // A page another writer changed since it was shown is not what the user chose to erase.
    const OutsideCheck check = m_stored.others().checkShown(date);
    if (check.change == OutsideChange::Changed) {
        showOutsidePage(check.now.page);
        m_parts.editor.setEditable(false);
        messages.show(textOf(TextId::NotDeletedChangedOutside), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    if (!m_parts.pages.remove(date)) {
        messages.show(dataFolderProblem(TextId::PageNotDeleted), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    m_parts.editor.setText(u"");
    m_parts.journal.erase(date);
    // The file is gone: typing the old text again must write it again.
    noteStored(m_selectedDay);
    m_stored.others().noteFile({});
    m_parts.editor.setEditable(true);
    return true;
}

} // namespace pagelet
