#pragma once
// The crash journal as the shown day writes it: the page being written, with whatever an
// unanswered question at start left held beside it.
#include "base/Day.h"
#include "diary/HeldJournals.h"
#include "state/CrashJournal.h"
#include "store/PageFormat.h"

#include <vector>

namespace pagelet {

class PageStore;

class DayJournal {
public:
    // The journal of the data folder in use; none: nothing is kept.
    void attach(CrashJournal* journal) { m_journal = journal; }
    bool attached() const { return m_journal != nullptr; }
    // page is being written on date: the journal keeps it, merged with a held text of the day.
    void keep(const LocalDate& date, Page page);
    // keep's writes waited for: true when they are on disk.
    bool flush();
    // date's page is stored as stored: its journal goes, unless it holds an unanswered text.
    void settle(const LocalDate& date, const Page& stored);
    void drop(const LocalDate& date);
    // Erasing the day gives up every text of it, an unanswered journal's too.
    void erase(const LocalDate& date);
    // At start: the journals unlike their stored pages are held and returned; the others go.
    std::vector<CrashJournal::Entry> holdDiffering(PageStore& pages);
    // A held journal was taken into the editor: the journal follows the editor again.
    void release(const LocalDate& date) { m_held.release(date); }

private:
    // What the journal keeps for date while the page being written is page.
    Page journalPage(const LocalDate& date, Page page) const;

    CrashJournal* m_journal = nullptr;
    HeldJournals m_held;
};

} // namespace pagelet
