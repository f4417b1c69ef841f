#pragma once
// The page being written and the crash journal: kept there a moment after a change (the
// window's timer calls keep), at once when the program is ended from outside, or given up.
namespace pagelet {

class DayJournal;
class DiaryEdit;
class ShownDay;

class PageJournal {
public:
    PageJournal(ShownDay& day, DayJournal& journal, const DiaryEdit& editor) : m_day(day), m_journal(journal), m_editor(editor) {}

    // The page as the editor has it now goes to the journal, when it differs from the stored one.
    void keep();
    // keep, waited for: true when the page is on disk there.
    bool keepNow();
    // The change of the shown page is given up: its journal goes, or holds again only what an
    // unanswered question left there.
    void drop();

private:
    ShownDay& m_day;
    DayJournal& m_journal;
    const DiaryEdit& m_editor;
};

} // namespace pagelet
