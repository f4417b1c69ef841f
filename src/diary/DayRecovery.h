#pragma once
// What comes back to the shown day from elsewhere: pages an earlier run left in the crash
// journal, sync tools' conflict copies, and another writer's changes to the page or the memo.
#include "base/Day.h"
#include "store/PageFormat.h"
#include "store/PageStore.h"

namespace pagelet {

class DayCalendar;
class DayJournal;
class DayMemo;
class DiaryEdit;
class MainWindowPort;
class MemoRecorder;
class MessageBoxPort;
class ShownDay;
class Skin;

// The shown day and what stands beside it, as the recovery acts on them.
struct DayRecoveryParts {
    MainWindowPort& window;
    MessageBoxPort& messages;
    DiaryEdit& editor;
    Skin& skin;
    PageStore& pages;
    ShownDay& day;
    DayCalendar& calendar;
    DayJournal& journal;
    DayMemo& memo;
    MemoRecorder& recorder;
};

class DayRecovery : public PageObserver {
public:
    explicit DayRecovery(const DayRecoveryParts& parts);
    ~DayRecovery() override;
    DayRecovery(const DayRecovery&) = delete;
    DayRecovery& operator=(const DayRecovery&) = delete;

    // Our own writes are already known; another writer's change to a page only viewed is shown.
    void pageChanged(const LocalDate& date) override;
    void changedOutside() override;
    // At start: a page an earlier run left in the journal, unlike the stored one, is offered
    // back; the one taken is shown in edit mode, not yet stored. One closed without an answer
    // stays in the journal, asked again at the next start, and nothing written meanwhile on its
    // day replaces it.
    void offerJournal();
    // Sync tools' copies of the shown page are offered; one taken is merged in and stored.
    void offerConflictCopies();

private:
    bool showJournalPage(const LocalDate& date, const Page& journal);

    DayRecoveryParts m_parts;
};

} // namespace pagelet
