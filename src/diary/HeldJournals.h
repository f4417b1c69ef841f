#pragma once
// Journals whose question was closed without an answer: their text is still the person's, so
// whatever this run writes or stores for their day keeps it beside the new text.
#include "base/Day.h"
#include "store/PageFormat.h"

#include <map>
#include <optional>
#include <string>

namespace pagelet {

class HeldJournals {
public:
    // The journal of date, not taken and not given up; stored: the day's page as it was then.
    void hold(const LocalDate& date, Page stored, Page journal);
    bool holds(const LocalDate& date) const;
    // What date's journal must hold while its page is now: the held text merged with now's
    // changes to the stored page (both kept where they touch the same lines). Nothing when the
    // day holds no journal.
    std::optional<Page> journalFor(const LocalDate& date, const Page& now) const;
    // The held journal as it was, for a change that was given up.
    std::optional<Page> heldPage(const LocalDate& date) const;
    // The day's journal was deleted with the day.
    void release(const LocalDate& date);

private:
    struct Held {
        Page stored;
        Page journal;
    };
    std::map<std::u16string, Held> m_held; // by day key
};

} // namespace pagelet
