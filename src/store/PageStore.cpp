#include "store/PageStore.h"

#include <algorithm>

namespace pagelet {

LoadedPage PageStore::read(const LocalDate& date) const
{
    LoadedPage loaded;
    static_cast<PageCheck&>(loaded) = readInto(date, loaded.page);
    if (loaded.state != PageFileState::Readable)
        loaded.page = Page {};
    return loaded;
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
