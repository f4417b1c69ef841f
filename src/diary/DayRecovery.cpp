#include "diary/DayRecovery.h"

#include "diary/DayCalendar.h"
#include "diary/DayJournal.h"
#include "diary/DayMemo.h"
#include "diary/LongDate.h"
#include "diary/MemoRecorder.h"
#include "diary/PageButtons.h"
#include "diary/ShownDay.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"
#include "skin/Skin.h"
#include "text/Catalogue.h"
#include "ui/DiaryEdit.h"

namespace pagelet {

DayRecovery::DayRecovery(const DayRecoveryParts& parts) : m_parts(parts)
{
    m_parts.pages.addObserver(*this);
}

DayRecovery::~DayRecovery()
{
    m_parts.pages.removeObserver(*this);
}

void DayRecovery::pageChanged(const LocalDate& date)
{
    m_parts.memo.changedHere(date);
}

void DayRecovery::changedOutside()
{
    // The memo first: a recording replaced elsewhere is kept whatever the page is doing.
    if (m_parts.memo.changedOutside())
        m_parts.recorder.repaintButton();
    // A page edited here is merged with the other writer's when it is stored.
    ShownDay& day = m_parts.day;
    if (day.hasUnstoredText())
        return;
    const OutsideCheck check = day.stored().others().checkShown(localDate(day.selectedDay()));
    if (check.change != OutsideChange::None)
        day.showOutsidePage(check.now.page);
    offerConflictCopies();
    if (m_parts.calendar.visible())
        m_parts.calendar.scanDayMarks();
}

void DayRecovery::offerConflictCopies()
{
    ShownDay& day = m_parts.day;
    DiaryEdit& editor = m_parts.editor;
    SecondWriter& others = day.stored().others();
    const auto merged =
        others.offerConflictCopies(localDate(day.selectedDay()), [&day, &editor] { return Page {day.weather(), editor.text}; });
    if (!merged)
        return;
    day.setWeather(merged->weather);
    editor.setText(merged->text);
    if (day.savePage(day.selectedDay()))
        others.removeTakenCopies();
    showPageButtons(m_parts.skin, {false, day.weather(), true});
    m_parts.window.invalidate();
}

void DayRecovery::offerJournal()
{
    DayJournal& journal = m_parts.journal;
    if (!journal.attached())
        return;
    // Every journal unlike its page is held before any is shown: showing one stores the page on
    // screen first, and that store must not give up the shown day's journal unasked.
    const std::vector<CrashJournal::Entry> differing = journal.holdDiffering(m_parts.pages);
    // One page can be shown; the others stay held and are asked for at the next start. Not
    // answered (or the page shown could not be stored first), a journal stays as it is.
    for (const CrashJournal::Entry& entry : differing) {
        const MessageAnswer answer = m_parts.messages.show(withArgument(textOf(TextId::RecoverJournal), longDate(entry.date)),
                                                           kAppTitle, MessageButtons::YesNo, MessageIcon::Question);
        if (answer == MessageAnswer::No) {
            journal.erase(entry.date);
            continue;
        }
        if (answer == MessageAnswer::Yes && showJournalPage(entry.date, entry.page)) {
            // The editor holds it now, and the journal follows the editor again.
            journal.release(entry.date);
            break;
        }
    }
}

// The journal's text on its day, in edit mode and not stored; a sync tool's copy of that day
// merges into it, not under it.
bool DayRecovery::showJournalPage(const LocalDate& date, const Page& journal)
{
    ShownDay& day = m_parts.day;
    if (!day.storeShownPage())
        return false;
    day.showDay(fromLocal(date));
    m_parts.calendar.hide();
    day.takeVersion(journal);
    m_parts.editor.saved = false;
    offerConflictCopies();
    m_parts.window.invalidate();
    return true;
}

} // namespace pagelet
