#include "diary/SecondWriter.h"

#include "platform/MessageBox.h"
#include "store/LineMerge.h"
#include "store/PageStore.h"
#include "text/Catalogue.h"

namespace pagelet {

SecondWriter::SecondWriter(PageStore& pages, MessageBoxPort& messages) : m_pages(pages), m_messages(messages)
{
}

SecondWriter::Outcome SecondWriter::beforeStore(const LocalDate& date, const Page& base, std::int32_t weather, const std::u16string& text,
                                                Telling telling)
{
    OutsideCheck check = checkShown(date);
    // Deleted outside: ours is stored as a new page when it was edited, else nothing happens.
    if (check.change != OutsideChange::Changed)
        return {};
    if (weather == base.weather && text == base.text)
        return {Outcome::Kind::ShowTheirs, std::move(check.now.page)};
    MergedPage merged = mergePages(base, {weather, text}, check.now.page, textOf(TextId::OutsideChangeMarker));
    // The merge carries its own marker in the page; the message only says so to whoever is there.
    if (telling == Telling::Person)
        m_messages.show(textOf(TextId::MergedOutsideChange), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
    return {Outcome::Kind::StoreMerged, std::move(merged.page)};
}

OutsideCheck SecondWriter::checkShown(const LocalDate& date)
{
    OutsideCheck check = m_pages.checkOutside(date, m_stamp);
    // A data folder that is away (renamed, unmounted) tells nothing of its pages: the page is
    // judged against what it was once the folder is back, and the same bytes are no change.
    if (check.change == OutsideChange::Deleted && !m_pages.listDays())
        return {};
    m_stamp = check.now.stamp;
    return check;
}

std::optional<Page> SecondWriter::offerConflictCopies(const LocalDate& date, const std::function<Page()>& ours)
{
    std::optional<Page> merged;
    for (const auto& name : m_pages.conflictCopies(date)) {
        if (!m_asked.insert(name).second)
            continue;
        const LoadedPage copy = m_pages.readCopy(name);
        if (copy.state != PageFileState::Readable ||
            m_messages.show(textOf(TextId::ConflictCopyQuestion), kAppTitle, MessageButtons::YesNo, MessageIcon::Question) !=
                MessageAnswer::Yes)
            continue;
        merged = mergeCopy(merged ? *merged : ours(), copy.page, textOf(TextId::OutsideChangeMarker)).page;
        m_taken.push_back(name);
    }
    return merged;
}

void SecondWriter::removeTakenCopies()
{
    for (const auto& name : m_taken)
        m_pages.removeCopy(name);
    m_taken.clear();
}

} // namespace pagelet
