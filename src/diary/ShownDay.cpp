#include "diary/ShownDay.h"

#include "diary/DateKey.h"
#include "diary/DayMarks.h"
#include "diary/LongDate.h"
#include "diary/PageButtons.h"
#include "platform/Commands.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"
#include "platform/MonthCalendar.h"
#include "platform/VoiceRecorder.h"
#include "skin/Skin.h"
#include "state/CrashJournal.h"
#include "store/PageStore.h"
#include "text/Catalogue.h"
#include "ui/DiaryEdit.h"

namespace pagelet {

ShownDay::ShownDay(const ShownDayPorts& ports, DiaryEdit& editor, Skin& skin, PageStore& pages)
    : m_ports(ports), m_editor(editor), m_skin(skin), m_pages(pages), m_second(pages, ports.messages),
      m_memo(pages, ports.messages)
{
    m_pages.addObserver(*this);
}

ShownDay::~ShownDay()
{
    m_pages.removeObserver(*this);
}

void ShownDay::startOn(DayValue day)
{
    selectStartDay(day);
    showStartPage();
}

void ShownDay::selectStartDay(DayValue day)
{
    m_selectedDay = clampToDiaryRange(day);
    m_previousDay = m_selectedDay;
    m_startPage = m_pages.read(localDate(m_selectedDay));
    // The buttons as the page will show them; its text follows in showStartPage.
    const PageFileState state = m_startPage->state;
    const bool readable = state == PageFileState::Readable;
    m_weather = readable ? m_startPage->page.weather : 0;
    std::optional<bool> deletable;
    if (readable || state == PageFileState::Missing)
        deletable = readable;
    showPageButtons(m_skin, {!readable, m_weather, deletable});
}

void ShownDay::showStartPage()
{
    if (!m_startPage)
        return;
    LoadedPage loaded = std::move(*m_startPage);
    m_startPage.reset();
    if (!showLoaded(m_selectedDay, std::move(loaded)))
        showEmptyPage();
    // Its copies are asked about once the start has settled.
    m_memo.show(localDate(m_selectedDay));
}

std::u16string ShownDay::pagePath(DayValue day) const
{
    return m_pages.pageLocation(localDate(day));
}

std::u16string ShownDay::memoPath(DayValue day) const
{
    return m_pages.memoPath(localDate(day));
}

bool ShownDay::hasMemo() const
{
    return m_pages.hasMemo(localDate(m_selectedDay));
}

bool ShownDay::loadPage(DayValue day)
{
    return showLoaded(day, m_pages.read(localDate(day)));
}

bool ShownDay::showLoaded(DayValue day, LoadedPage loaded)
{
    const LocalDate date = localDate(day);
    // Only a refused open needs the second look: what can't even be looked at counts as no page.
    // A plain page an encrypted diary doesn't trust is offered as a conflict copy, not shown.
    if (loaded.state == PageFileState::Missing || (loaded.state == PageFileState::Unreadable && !m_pages.hasPage(date)) ||
        loaded.fault == PageFault::Untrusted) {
        if (SkinElement* del = m_skin.findElement(CMD_DELETE))
            del->enabled = false;
        return false;
    }
    if (loaded.state != PageFileState::Readable) {
        // Shown as an empty page, it would look like a day without one.
        m_ports.messages.show(dataFolderProblem(TextId::PageUnreadable), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }

    m_weather = loaded.page.weather;
    m_editor.setText(loaded.page.text);
    if (m_editor.keepsText(loaded.page.text)) {
        // The page is its own stored form: no copy read back out of the editor, whose fresh
        // memory is a good part of a change of day.
        m_storedPath = pagePath(day);
        m_storedPage = {m_weather, std::move(loaded.page.text)};
    } else {
        noteStored(day);
    }
    m_second.noteFile(loaded.stamp);
    showPageButtons(m_skin, {false, m_weather, true});
    m_editor.setEditable(false);
    return true;
}

void ShownDay::noteStored(DayValue day)
{
    m_storedPath = pagePath(day);
    // The editor's form of the text: a page written with other line breaks is not a change.
    m_storedPage = {m_weather, m_editor.text};
}

bool ShownDay::unchangedSinceStored(DayValue day) const
{
    return m_storedPath == pagePath(day) && m_storedPage.weather == m_weather && m_storedPage.text == m_editor.text;
}

bool ShownDay::savePage(DayValue day)
{
    // Saving always ends editing, whatever happens to the file.
    m_editor.setEditable(false);
    if (m_storedPath == pagePath(day)) {
        auto outcome = m_second.beforeStore(localDate(day), m_storedPage, m_weather, m_editor.text);
        if (outcome.kind == SecondWriter::Outcome::Kind::ShowTheirs) {
            showOutsidePage(outcome.page);
            m_editor.saved = true;
            return !m_editor.text.empty();
        }
        if (outcome.kind == SecondWriter::Outcome::Kind::StoreMerged) {
            m_weather = outcome.page.weather;
            m_editor.setText(outcome.page.text);
            // The other writer's weather mark may have won: the button shows what is stored.
            showPageButtons(m_skin, {false, m_weather, std::nullopt});
        }
    }
    // Rewriting an unchanged page would fail on a read-only folder and change what other
    // tools wrote; its file already holds what the editor shows.
    if (unchangedSinceStored(day)) {
        m_editor.saved = true;
        settleJournal(localDate(day), m_storedPage);
        return !m_editor.text.empty();
    }
    std::u16string path = pagePath(day);
    Page page {m_weather, m_editor.text};
    const StoreResult result = m_pages.write(localDate(day), page, m_second.stamp());
    if (result == StoreResult::Failed) {
        // What could not be stored is what the journal must hold now, not a second ago.
        if (m_journal)
            m_journal->keep(localDate(day), journalPage(localDate(day), std::move(page)));
        return false;
    }
    settleJournal(localDate(day), page);
    // noteStored's effect, without copying the page a second time.
    m_storedPath = std::move(path);
    m_storedPage = std::move(page);
    if (result != StoreResult::Written)
        return false;
    m_editor.saved = true;
    return true;
}

bool ShownDay::storeShownPage()
{
    if (savePage(m_selectedDay) || m_editor.text.empty())
        return true;
    // Stay on the page: its text remains, unsaved, and saving is offered again.
    showPageButtons(m_skin, {true, m_weather, std::nullopt});
    m_editor.setEditable(true);
    m_editor.saved = false;
    m_ports.window.invalidate();
    m_ports.messages.show(dataFolderProblem(TextId::PageNotSaved), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
    return false;
}

void ShownDay::showEmptyPage()
{
    m_weather = 0;
    m_editor.setText(u"");
    noteStored(m_selectedDay);
    m_second.noteFile(m_pages.stampOf(localDate(m_selectedDay)));
    showPageButtons(m_skin, {true, m_weather, std::nullopt});
    m_editor.setEditable(true);
}

// Another writer's page in place of the one shown, which was not changed here.
void ShownDay::showOutsidePage(const Page& page)
{
    m_weather = page.weather;
    m_editor.setText(page.text);
    noteStored(m_selectedDay);
    showPageButtons(m_skin, {m_editor.editable, m_weather, !page.text.empty()});
    m_editor.needsRedraw = true;
    m_ports.window.invalidate();
}

void ShownDay::changedOutside()
{
    // The memo first: a recording replaced elsewhere is kept whatever the page is doing.
    if (m_memo.changedOutside())
        repaintMemoButton();
    // A page edited here is merged with the other writer's when it is stored.
    if (m_storedPath != pagePath(m_selectedDay) || !unchangedSinceStored(m_selectedDay))
        return;
    const OutsideCheck check = m_second.checkShown(localDate(m_selectedDay));
    if (check.change != OutsideChange::None)
        showOutsidePage(check.now.page);
    offerConflictCopies();
    if (m_calendarVisible)
        scanDayMarks();
}

void ShownDay::offerConflictCopies()
{
    const auto merged = m_second.offerConflictCopies(localDate(m_selectedDay), [this] { return Page {m_weather, m_editor.text}; });
    if (!merged)
        return;
    m_weather = merged->weather;
    m_editor.setText(merged->text);
    if (savePage(m_selectedDay))
        m_second.removeTakenCopies();
    showPageButtons(m_skin, {false, m_weather, true});
    m_ports.window.invalidate();
}

void ShownDay::refreshPageButtons()
{
    showPageButtons(m_skin, {m_editor.editable, m_weather, m_pages.hasPage(localDate(m_selectedDay))});
}

void ShownDay::reloadFromDataFolder()
{
    m_editor.showCaret(false);
    showSelectedDay();
    scanDayMarks();
}

// The end of every change of day: the new day's page or an empty one, the calendar following.
// False when the day had no page that could be shown.
bool ShownDay::showSelectedDay()
{
    const bool found = showSelectedPage();
    offerConflictCopies();
    m_memo.offerCopies();
    return found;
}

bool ShownDay::showSelectedPage()
{
    const bool found = loadPage(m_selectedDay);
    if (!found)
        showEmptyPage();
    m_ports.calendar.setSelection(m_selectedDay);
    m_memo.show(localDate(m_selectedDay));
    return found;
}

// Prev and next note the day being left before storing it; a page that can't be stored keeps
// the window where it was, previousDay included. Past the diary's first or last day nothing
// happens at all.
void ShownDay::moveByDays(int days)
{
    const DayValue target = addDays(m_selectedDay, days);
    if (!inDiaryRange(localDate(target)))
        return;
    const DayValue before = m_previousDay;
    m_previousDay = m_selectedDay;
    if (!storeShownPage()) {
        m_previousDay = before;
        return;
    }
    m_selectedDay = target;
    m_editor.showCaret(false);
    showSelectedDay();
    m_ports.window.invalidate();
}

void ShownDay::onPrevDay()
{
    moveByDays(-1);
}

void ShownDay::onNextDay()
{
    moveByDays(1);
}

void ShownDay::onToday()
{
    if (!storeShownPage())
        return;
    m_editor.showCaret(false);
    m_previousDay = m_selectedDay;
    m_selectedDay = clampToDiaryRange(m_ports.calendar.today());
    showSelectedDay();
    m_ports.window.invalidate();
}

void ShownDay::onDayPicked(const LocalDate& date)
{
    // Hidden whatever the editor believes about its caret.
    m_editor.caretShown = true;
    m_editor.showCaret(false);
    m_ports.calendar.hide();
    m_calendarVisible = false;
    if (!storeShownPage()) {
        // The calendar moved its selection on the tap; the shown day did not change.
        m_ports.calendar.setSelection(m_selectedDay);
        m_editor.needsRedraw = true;
        m_ports.window.invalidate();
        return;
    }
    m_previousDay = m_selectedDay;
    m_selectedDay = fromLocal(clampToDiaryRange(date));
    if (!showSelectedDay()) {
        if (SkinElement* del = m_skin.findElement(CMD_DELETE))
            del->enabled = false;
    }
    m_ports.window.invalidate();
}

void ShownDay::onSelectionChanged(const LocalDate& date)
{
    // Only the month number counts: the calendar asks for day states itself when it moves.
    const DayValue day = fromLocal(date);
    if (localDate(day).month != localDate(m_previousDay).month) {
        scanDayMarks();
        m_previousDay = day;
    }
}

void ShownDay::onDayStatesRequested()
{
    scanDayMarks();
}

void ShownDay::scanDayMarks()
{
    MonthCalendar& calendar = m_ports.calendar;
    calendar.setDayStates(
        dayMarkMasks(calendar.displayedRange(), [this](const LocalDate& date) { return m_pages.hasPage(date); }));
}

bool ShownDay::showFoundDay(DayValue day)
{
    if (!storeShownPage())
        return false;
    m_selectedDay = day;
    showSelectedDay();
    m_ports.calendar.hide();
    m_calendarVisible = false;
    m_ports.window.invalidate();
    return true;
}

void ShownDay::onCalendar()
{
    m_editor.showCaret(false);
    if (m_calendarVisible) {
        m_ports.calendar.hide();
        m_calendarVisible = false;
        m_editor.needsRedraw = true;
    } else {
        scanDayMarks();
        m_ports.calendar.move(m_skin.calendarArea);
        m_ports.calendar.show();
        m_calendarVisible = true;
    }
    m_ports.window.invalidate();
}

void ShownDay::onWeather()
{
    SkinElement* button = m_skin.findElement(CMD_WEATHER);
    if (!button)
        return;
    m_weather = (m_weather + 1) % 5;
    button->cell = m_weather;
    // A change of the page like typing: the close asks before it is lost.
    m_editor.saved = false;
}

void ShownDay::onEdit()
{
    showPageButtons(m_skin, {true, std::nullopt, std::nullopt});
    m_editor.setEditable(true);
    // The weather and time stamp buttons changed their look too.
    m_ports.window.invalidate();
}

void ShownDay::takeVersion(const Page& page)
{
    m_weather = page.weather;
    m_editor.setText(page.text);
    onEdit();
    showPageButtons(m_skin, {true, m_weather, !page.text.empty()});
    m_editor.needsRedraw = true;
}

void ShownDay::restoreVersion(const Page& page)
{
    if (hasUnstoredText())
        m_pages.keepUnstored(localDate(m_selectedDay), {m_weather, m_editor.text});
    takeVersion(page);
    m_editor.saved = false;
}

void ShownDay::onSave()
{
    showPageButtons(m_skin, {false, std::nullopt, std::nullopt});
    storeShownPage();
    m_ports.window.invalidate();
}

// Both files go or neither: an editor emptied over a page that stays on disk would let the user
// believe the day erased.
void ShownDay::deletePage()
{
    if (m_ports.messages.show(textOf(TextId::DeletePageQuestion), kAppTitle, MessageButtons::YesNo, MessageIcon::Question) !=
        MessageAnswer::Yes)
        return;
    // A page another writer changed since it was shown is not what the user chose to erase.
    const OutsideCheck check = m_second.checkShown(localDate(m_selectedDay));
    if (check.change == OutsideChange::Changed) {
        showOutsidePage(check.now.page);
        m_editor.setEditable(false);
        m_ports.messages.show(textOf(TextId::NotDeletedChangedOutside), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    if (!m_pages.remove(localDate(m_selectedDay))) {
        m_ports.messages.show(dataFolderProblem(TextId::PageNotDeleted), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    m_editor.setText(u"");
    // Erasing the day gives up every text of it, an unanswered journal's too.
    m_held.release(localDate(m_selectedDay));
    if (m_journal)
        m_journal->drop(localDate(m_selectedDay));
    // The file is gone: typing the old text again must write it again.
    noteStored(m_selectedDay);
    m_second.noteFile({});
    m_editor.setEditable(true);
    repaintMemoButton();
}

void ShownDay::keepJournal()
{
    if (!m_journal || m_editor.saved)
        return;
    const LocalDate date = localDate(m_selectedDay);
    if (unchangedSinceStored(m_selectedDay))
        settleJournal(date, m_storedPage);
    else
        m_journal->keep(date, journalPage(date, {m_weather, m_editor.text}));
}

bool ShownDay::keepJournalNow()
{
    if (!m_journal)
        return false;
    const LocalDate date = localDate(m_selectedDay);
    m_journal->keep(date, journalPage(date, {m_weather, m_editor.text}));
    return m_journal->flush();
}

void ShownDay::dropJournal()
{
    // What was stored stays stored: only the editor's change since is given up.
    if (m_journal && m_storedPath == pagePath(m_selectedDay))
        settleJournal(localDate(m_selectedDay), m_storedPage);
    else if (m_journal)
        m_journal->drop(localDate(m_selectedDay));
}

Page ShownDay::journalPage(const LocalDate& date, Page page) const
{
    if (auto held = m_held.journalFor(date, page))
        return std::move(*held);
    return page;
}

void ShownDay::settleJournal(const LocalDate& date, const Page& stored)
{
    if (!m_journal)
        return;
    if (auto held = m_held.journalFor(date, stored))
        m_journal->keep(date, std::move(*held));
    else
        m_journal->drop(date);
}

namespace {
// Line breaks are the editor's business: a page stored with others holds the same text.
bool sameWords(std::u16string_view a, std::u16string_view b)
{
    auto next = [](std::u16string_view& s) {
        while (!s.empty() && s.front() == u'\r')
            s.remove_prefix(1);
    };
    for (;;) {
        next(a);
        next(b);
        if (a.empty() || b.empty())
            return a.empty() && b.empty();
        if (a.front() != b.front())
            return false;
        a.remove_prefix(1);
        b.remove_prefix(1);
    }
}
} // namespace

void ShownDay::offerJournal()
{
    if (!m_journal)
        return;
    // Every journal unlike its page is held before any is shown: showing one stores the page on
    // screen first, and that store must not give up the shown day's journal unasked.
    std::vector<CrashJournal::Entry> differing;
    for (CrashJournal::Entry& entry : m_journal->pending()) {
        const LoadedPage stored = m_pages.read(entry.date);
        const Page none;
        const Page& now = stored.state == PageFileState::Readable ? stored.page : none;
        if (stored.state != PageFileState::Unreadable && now.weather == entry.page.weather && sameWords(now.text, entry.page.text)) {
            m_journal->drop(entry.date);
            continue;
        }
        m_held.hold(entry.date, now, entry.page);
        differing.push_back(std::move(entry));
    }
    // One page can be shown; the others stay held and are asked for at the next start. Not
    // answered (or the page shown could not be stored first), a journal stays as it is.
    for (const CrashJournal::Entry& entry : differing) {
        const MessageAnswer answer = m_ports.messages.show(withArgument(textOf(TextId::RecoverJournal), longDate(entry.date)),
                                                           kAppTitle, MessageButtons::YesNo, MessageIcon::Question);
        if (answer == MessageAnswer::No) {
            m_held.release(entry.date);
            m_journal->drop(entry.date);
            continue;
        }
        if (answer == MessageAnswer::Yes && showJournalPage(entry.date, entry.page)) {
            // The editor holds it now, and the journal follows the editor again.
            m_held.release(entry.date);
            break;
        }
    }
}

// The journal's text on its day, in edit mode and not stored; a sync tool's copy of that day
// merges into it, not under it.
bool ShownDay::showJournalPage(const LocalDate& date, const Page& journal)
{
    if (!storeShownPage())
        return false;
    m_selectedDay = fromLocal(date);
    showSelectedPage();
    m_ports.calendar.hide();
    m_calendarVisible = false;
    takeVersion(journal);
    m_editor.saved = false;
    offerConflictCopies();
    m_ports.window.invalidate();
    return true;
}

void ShownDay::offerMemoCopies()
{
    // The start day's page copies too: among them a plain page an encrypted diary doesn't trust.
    offerConflictCopies();
    if (m_memo.offerCopies())
        repaintMemoButton();
}

void ShownDay::startMemo(const Rect& buttonRect)
{
    m_editor.showCaret(false);
    VoiceRecorderRecord record;
    record.size = kRecorderRecordSize;
    record.style = kRecorderModalNoGrip;
    record.x = buttonRect.right + 1;
    record.y = buttonRect.top;
    record.parent = &m_ports.window;
    record.id = kRecorderControlId;
    record.fileName = memoPath(m_selectedDay);
    m_memo.recorderOpened();
    m_recorderWindow = m_ports.recorder.create(record);
}

void ShownDay::OnNotify(int code)
{
    if (code != kRecorderClosedOk && code != kRecorderClosedCancel)
        return;
    const LocalDate date = localDate(m_selectedDay);
    // What another machine did to the memo while the recorder was open is kept before anything
    // here erases it.
    m_memo.recorderClosed();
    // No by default: Return after Cancel must not erase a recording.
    if (code == kRecorderClosedCancel && m_pages.hasMemo(date) &&
        m_ports.messages.show(textOf(TextId::DeleteMemoQuestion), kAppTitle, MessageButtons::YesNoDefaultNo, MessageIcon::Question) ==
            MessageAnswer::Yes &&
        !m_pages.removeMemo(date)) {
        // The frame would still show it, but the user just said to erase it: say why not.
        m_ports.messages.show(dataFolderProblem(TextId::PageNotDeleted), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
    }
    m_memo.offerCopies();
    m_editor.showCaret(m_editor.editable);
    // A memo recorded or erased: the frame around the button follows at once.
    repaintMemoButton();
}

void ShownDay::repaintMemoButton()
{
    if (const SkinElement* memo = m_skin.findElement(CMD_VOICE))
        m_ports.window.invalidate(memo->rect.inflated(1));
}

} // namespace pagelet
