#pragma once
// The shown day's voice memo against other writers: a sync tool's copy of it is offered, and a
// memo replaced from outside goes to the history before it is lost.
#include "base/Day.h"
#include "store/MemoSnapshot.h"

#include <cstddef>
#include <set>
#include <string>

namespace pagelet {

class MessageBoxPort;
class PageStore;

class DayMemo {
public:
    // Past this a memo is held by its open file rather than in memory: about four minutes of
    // speech as the recorder takes it.
    static constexpr std::size_t kHeldBytes = 8u << 20;

    DayMemo(PageStore& pages, MessageBoxPort& messages, std::size_t heldBytes = kHeldBytes);

    // The day is shown: its memo as it is now is noted; its copies are for offerCopies.
    void show(const LocalDate& date);
    // The folder changed: a memo replaced since it was noted goes to the history, and copies
    // that arrived are offered unless the recorder is open. True when the memo changed (its
    // button's frame may have to follow).
    bool changedOutside();
    // The store itself changed the day's memo (erased, a copy taken); it kept what it replaced.
    void changedHere(const LocalDate& date);
    // The recorder opens over the memo, which is kept first, as it may be recorded over.
    void recorderOpened();
    // The recorder closed: what another writer did meanwhile is caught (true when the memo
    // changed); its copies are offered by offerCopies, once the recorder's own question is
    // answered.
    bool recorderClosed();
    // Asks about each copy of the day's memo: Yes makes it the memo, No keeps ours; either way
    // the other goes to the history and the copy leaves the folder. True when one did.
    bool offerCopies();

private:
    bool catchReplaced();
    void note();

    PageStore& m_pages;
    MessageBoxPort& m_messages;
    std::size_t m_heldBytes;
    bool m_shown = false;
    LocalDate m_date;
    MemoSnapshot m_known;
    bool m_recording = false;
    // Each copy is asked about once while the program runs: one closed without an answer, or
    // that could not be taken or dropped, stays for the next run, and a watch of the folder
    // never asks in a loop.
    std::set<std::u16string> m_asked;
};

} // namespace pagelet
