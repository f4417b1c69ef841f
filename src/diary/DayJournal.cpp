#include "diary/DayJournal.h"

#include "store/PageStore.h"

#include <string_view>

namespace pagelet {

void DayJournal::keep(const LocalDate& date, Page page)
{
    if (m_journal)
        m_journal->keep(date, journalPage(date, std::move(page)));
}

bool DayJournal::flush()
{
    return m_journal && m_journal->flush();
}

void DayJournal::settle(const LocalDate& date, const Page& stored)
{
    if (!m_journal)
        return;
    if (auto held = m_held.journalFor(date, stored))
        m_journal->keep(date, std::move(*held));
    else
        m_journal->drop(date);
}

void DayJournal::drop(const LocalDate& date)
{
    if (m_journal)
        m_journal->drop(date);
}

void DayJournal::erase(const LocalDate& date)
{
    m_held.release(date);
    drop(date);
}

Page DayJournal::journalPage(const LocalDate& date, Page page) const
{
    if (auto held = m_held.journalFor(date, page))
        return std::move(*held);
    return page;
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

std::vector<CrashJournal::Entry> DayJournal::holdDiffering(PageStore& pages)
{
    std::vector<CrashJournal::Entry> differing;
    if (!m_journal)
        return differing;
    for (CrashJournal::Entry& entry : m_journal->pending()) {
        const LoadedPage stored = pages.read(entry.date);
        const Page none;
        const Page& now = stored.state == PageFileState::Readable ? stored.page : none;
        if (stored.state != PageFileState::Unreadable && now.weather == entry.page.weather && sameWords(now.text, entry.page.text)) {
            m_journal->drop(entry.date);
            continue;
        }
        m_held.hold(entry.date, now, entry.page);
        differing.push_back(std::move(entry));
    }
    return differing;
}

} // namespace pagelet
