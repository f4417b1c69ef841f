#include "app/PageJournal.h"

#include "diary/DayJournal.h"
#include "diary/ShownDay.h"
#include "ui/DiaryEdit.h"

namespace pagelet {

void PageJournal::keep()
{
    if (!m_journal.attached() || m_editor.saved)
        return;
    const LocalDate date = localDate(m_day.selectedDay());
    if (m_day.hasUnstoredText())
        m_journal.keep(date, {m_day.weather(), m_editor.text});
    else
        m_journal.settle(date, m_day.stored().page());
}

bool PageJournal::keepNow()
{
    if (!m_journal.attached())
        return false;
    m_journal.keep(localDate(m_day.selectedDay()), {m_day.weather(), m_editor.text});
    return m_journal.flush();
}

void PageJournal::drop()
{
    if (!m_journal.attached())
        return;
    const LocalDate date = localDate(m_day.selectedDay());
    // What was stored stays stored: only the editor's change since is given up.
    if (m_day.stored().isAt(m_day.pagePath(m_day.selectedDay())))
        m_journal.settle(date, m_day.stored().page());
    else
        m_journal.drop(date);
}

} // namespace pagelet
