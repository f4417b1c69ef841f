#include "diary/DayMemo.h"

#include "platform/MessageBox.h"
#include "store/PageStore.h"
#include "text/Catalogue.h"

namespace pagelet {

DayMemo::DayMemo(PageStore& pages, MessageBoxPort& messages, std::size_t heldBytes)
    : m_pages(pages), m_messages(messages), m_heldBytes(heldBytes)
{
}

void DayMemo::show(const LocalDate& date)
{
    m_shown = true;
    m_date = date;
    note();
}

void DayMemo::note()
{
    m_known = m_pages.snapshotMemo(m_date, m_heldBytes);
}

// One stat when nothing changed, as every save of a page in the folder comes past here.
bool DayMemo::catchReplaced()
{
    if (!m_shown || m_pages.memoStamp(m_date).sameFile(m_known.stamp()))
        return false;
    // The history keeps the same bytes once: a memo kept when the recorder opened is not
    // doubled when the recording replaces it.
    if (m_known.stamp().exists)
        m_pages.keepReplacedMemo(m_date, m_known);
    note();
    return true;
}

bool DayMemo::changedOutside()
{
    const bool replaced = catchReplaced();
    return offerCopies() || replaced;
}

void DayMemo::changedHere(const LocalDate& date)
{
    if (m_shown && date == m_date && !m_pages.memoStamp(m_date).sameFile(m_known.stamp()))
        note();
}

void DayMemo::recorderOpened()
{
    catchReplaced();
    m_recording = true;
    if (m_known.stamp().exists)
        m_pages.keepMemo(m_date);
}

bool DayMemo::recorderClosed()
{
    m_recording = false;
    return catchReplaced();
}

bool DayMemo::offerCopies()
{
    // A copy taken while recording would be recorded over at once.
    if (!m_shown || m_recording)
        return false;
    bool changed = false;
    for (const auto& name : m_pages.memoConflictCopies(m_date)) {
        // Noted before the question: the folder's watch may call while it is open.
        if (!m_asked.insert(name).second)
            continue;
        const MessageAnswer answer =
            m_messages.show(textOf(TextId::MemoCopyQuestion), kAppTitle, MessageButtons::YesNo, MessageIcon::Question);
        if (answer == MessageAnswer::Yes) {
            // A memo replaced from outside meanwhile is kept before the copy takes its place.
            catchReplaced();
            changed = m_pages.takeMemoCopy(m_date, name) || changed;
        } else if (answer == MessageAnswer::No) {
            changed = m_pages.dropMemoCopy(m_date, name) || changed;
        }
    }
    return changed;
}

} // namespace pagelet
