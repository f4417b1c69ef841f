#include "store/PageStore.h"

#include <algorithm>

namespace pagelet {

LoadedPage PageStore::read(const LocalDate& date) const
{
    LoadedPage loaded;
    static_cast<PageCheck&>(loaded) = readInto(date, loaded.page, &loaded.stamp);
    if (loaded.state != PageFileState::Readable)
        loaded.page = Page {};
    return loaded;
}

bool PageStore::untrusted(const std::u16string&) const
{
    return false;
}

std::optional<Page> PageStore::pageOfFileBytes(const LocalDate&, const Bytes& bytes) const
{
    return decodePage(bytes);
}

void PageStore::keepUnstored(const LocalDate& date, const Page& page)
{
    if (m_keeper)
        m_keeper->keep(date, false, encodePage(page));
}

OutsideCheck PageStore::checkOutside(const LocalDate& date, const PageStamp& known) const
{
    OutsideCheck check;
    check.now.stamp = stampOf(date);
    if (check.now.stamp.sameFile(known)) {
        check.now.stamp.hash = known.hash;
        return check;
    }
    if (!check.now.stamp.exists) {
        check.change = known.exists ? OutsideChange::Deleted : OutsideChange::None;
        return check;
    }
    check.now = read(date);
    // Touched or rewritten with the same bytes is no change; what can't be read is left to the
    // store's own rule for unreadable pages.
    if (check.now.state == PageFileState::Readable && !(known.exists && check.now.stamp.hash == known.hash))
        check.change = OutsideChange::Changed;
    return check;
}

void PageStore::noteOutsideChange() const
{
    const auto observers = m_observers;
    for (PageObserver* observer : observers)
        observer->changedOutside();
}

void PageStore::addObserver(PageObserver& observer)
{
    m_observers.push_back(&observer);
}

void PageStore::removeObserver(PageObserver& observer)
{
    std::erase(m_observers, &observer);
}

void PageStore::notifyChanged(const LocalDate& date) const
{
    // A copy: an observer may stop observing while it is told.
    const auto observers = m_observers;
    for (PageObserver* observer : observers)
        observer->pageChanged(date);
}

} // namespace pagelet
