#include "diary/FindDialog.h"

#include "diary/DayMarks.h"
#include "platform/CaseFolding.h"
#include "platform/MessageBox.h"
#include "platform/MonthCalendar.h"
#include "store/PageStore.h"
#include "text/Catalogue.h"

namespace pagelet {

namespace {

bool sameMonth(const LocalDate& a, const LocalDate& b)
{
    return a.year == b.year && a.month == b.month;
}

} // namespace

FindDialog::FindDialog(const PageStore& pages, MessageBoxPort& messages, const CaseFolding& folding, SoftKeyboard& keyboard)
    : m_pages(pages), m_messages(messages), m_folding(folding), m_keyboard(keyboard)
{
}

void FindDialog::DoDataExchange(DialogView& view, bool save)
{
    if (save) {
        searchWord = view.itemText(kWordEdit);
        matchCase = view.isChecked(kMatchCaseCheck) ? 1 : 0;
    } else {
        view.setItemText(kWordEdit, searchWord);
        view.setChecked(kMatchCaseCheck, matchCase != 0);
    }
}

bool FindDialog::OnInitDialog(DialogView& view)
{
    DoDataExchange(view, false);
    // The calendar opens on today: OK before any search jumps there, and the first month
    // change is measured from it.
    if (MonthCalendar* calendar = view.calendar(kCalendar))
        foundDay = shownMonthDay = calendar->today();
    return true;
}

void FindDialog::OnOK(DialogView& view)
{
    view.endDialog(false);
}

void FindDialog::accept(DialogView& view)
{
    DoDataExchange(view, true);
    view.endDialog(true);
}

void FindDialog::onMessage(DialogView& view, int message)
{
    if (message == WM_FIND_ACCEPT)
        accept(view);
}

void FindDialog::OnCommand(DialogView& view, int id)
{
    switch (id) {
    case kFindButton: OnFind(view); break;
    case kFindNextButton: OnFindNext(view); break;
    case kMatchCaseCheck: matchCase = view.isChecked(kMatchCaseCheck) ? 1 : 0; break;
    case kOkButton: accept(view); break;
    default: break;
    }
}

FindEdit* FindDialog::editOf(int id)
{
    return id == kWordEdit ? &wordBox : id == kResultEdit ? &resultBox : nullptr;
}

void FindDialog::OnEditChange(DialogView&, int id)
{
    if (FindEdit* edit = editOf(id))
        edit->OnChange();
}

void FindDialog::OnEditFocus(DialogView&, int id, bool gained)
{
    if (FindEdit* edit = editOf(id))
        edit->OnFocus(m_keyboard, gained);
}

void FindDialog::OnHold(DialogView& view, int id)
{
    if (FindEdit* edit = editOf(id); edit && edit->acceptsOnHold())
        onMessage(view, WM_FIND_ACCEPT);
}

UnitFinder FindDialog::finder()
{
    return UnitFinder(searchWord, matchCase ? nullptr : &m_folding.table());
}

// Positions in the folded text are positions in the page: the folding keeps every unit's place.
int FindDialog::findIn(const std::u16string& text, int from)
{
    if (from < 0)
        return -1;
    const auto at = finder().find(text, static_cast<std::size_t>(from));
    return at ? static_cast<int>(*at) : -1;
}

// A page that can't be read as one holds no word: it is passed over without a message.
bool FindDialog::readStored(DayValue day)
{
    return m_pages.readInto(localDate(day), m_stored).state == PageFileState::Readable;
}

bool FindDialog::scanMonth(DialogView& view)
{
    MonthCalendar* calendar = view.calendar(kCalendar);
    if (!calendar)
        return false;
    const DisplayedRange range = calendar->displayedRange();
    const MainMonth main = mainMonthOf(range);
    std::vector<std::uint32_t> masks(range.months > 0 ? static_cast<std::size_t>(range.months) : 0, 0u);
    std::uint32_t mask = 0;

    // Day 0 of the next month is the main month's last day.
    foundDay = fromLocal({main.first.year, main.first.month + 1, 0});
    const UnitFinder word = finder();
    bool found = false;
    for (int i = 0; i < 31; ++i) {
        const DayValue day = fromLocal({main.first.year, main.first.month, i + 1});
        if (localDate(day).month != main.first.month)
            break;
        if (!readStored(day) || !word.find(m_stored.text))
            continue;
        if (day <= foundDay)
            foundDay = shownMonthDay = day;
        mask |= 1u << i;
        found = true;
    }
    if (static_cast<std::size_t>(main.index) < masks.size())
        masks[static_cast<std::size_t>(main.index)] = mask;
    calendar->setDayStates(masks);
    return found;
}

bool FindDialog::searchDay(DialogView& view)
{
    if (!readStored(foundDay))
        return false;
    pageText = m_stored.text;
    matchStart = findIn(pageText, 0);
    // Without an occurrence Find next starts from the top of the page.
    matchEnd = matchStart < 0 ? 0 : matchStart + static_cast<int>(searchWord.size());
    if (MonthCalendar* calendar = view.calendar(kCalendar))
        calendar->setSelection(foundDay);
    return true;
}

void FindDialog::selectMatch(DialogView& view, int start, int end)
{
    if (start == -1)
        return;
    view.focusItem(kResultEdit);
    view.selectText(kResultEdit, start, end);
}

void FindDialog::showMessage(const std::u16string& text)
{
    m_messages.show(text, kAppTitle, MessageButtons::Ok, MessageIcon::None);
}

// The search of the month shown, its first matching page shown with the word selected.
void FindDialog::searchAndShow(DialogView& view)
{
    if (!scanMonth(view)) {
        // Nothing is shown to step through: Find next must not select in the message.
        pageText.clear();
        matchStart = -1;
        matchEnd = 0;
        view.setItemText(kResultEdit, withArgument(textOf(TextId::NothingThisMonth), searchWord));
    } else if (searchDay(view)) {
        view.setItemText(kResultEdit, pageText);
        selectMatch(view, matchStart, matchEnd);
    }
}

void FindDialog::OnFind(DialogView& view)
{
    DoDataExchange(view, true);
    wordBox.changed = false;
    searchAndShow(view);
    DoDataExchange(view, false);
}

void FindDialog::OnFindNext(DialogView& view)
{
    const int at = findIn(pageText, matchEnd);
    if (at < 0) {
        matchStart = -1;
        matchEnd = 0;
        showMessage(textOf(TextId::NoMoreMatches));
        return;
    }
    matchStart = at;
    matchEnd = at + static_cast<int>(searchWord.size());
    selectMatch(view, matchStart, matchEnd);
}

void FindDialog::OnDayPicked(DialogView& view, int, const LocalDate& day)
{
    foundDay = fromLocal(day);
    if (searchDay(view)) {
        view.setItemText(kResultEdit, pageText);
        if (matchStart != -1)
            selectMatch(view, matchStart, matchEnd);
        else
            showMessage(withArgument(textOf(TextId::NotOnThisDay), searchWord));
    }
    if (MonthCalendar* calendar = view.calendar(kCalendar))
        calendar->setSelection(foundDay);
}

// After a Find, moving the calendar to another month searches that month too, until the word
// is edited; an edited word waits for Find. A year apart counts as another month.
void FindDialog::OnCalendarSelChange(DialogView& view, int, const LocalDate& day)
{
    if (!wordBox.changed && !sameMonth(localDate(shownMonthDay), day)) {
        DoDataExchange(view, true);
        if (!searchWord.empty()) {
            searchAndShow(view);
            DoDataExchange(view, false);
        }
    }
    shownMonthDay = fromLocal(day);
}

} // namespace pagelet
