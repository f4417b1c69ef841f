#include "diary/HeldJournals.h"

#include "store/DayKey.h"
#include "store/LineMerge.h"
#include "text/Catalogue.h"

namespace pagelet {

void HeldJournals::hold(const LocalDate& date, Page stored, Page journal)
{
    m_held[makeDateKey(date)] = {std::move(stored), std::move(journal)};
}

bool HeldJournals::holds(const LocalDate& date) const
{
    return !m_held.empty() && m_held.contains(makeDateKey(date));
}

std::optional<Page> HeldJournals::journalFor(const LocalDate& date, const Page& now) const
{
    if (m_held.empty())
        return std::nullopt;
    const auto held = m_held.find(makeDateKey(date));
    if (held == m_held.end())
        return std::nullopt;
    const Held& h = held->second;
    if (now.weather == h.stored.weather && now.text == h.stored.text)
        return h.journal;
    return mergePages(h.stored, now, h.journal, textOf(TextId::OutsideChangeMarker)).page;
}

std::optional<Page> HeldJournals::heldPage(const LocalDate& date) const
{
    const auto held = m_held.find(makeDateKey(date));
    return held == m_held.end() ? std::nullopt : std::optional<Page>(held->second.journal);
}

void HeldJournals::release(const LocalDate& date)
{
    m_held.erase(makeDateKey(date));
}

} // namespace pagelet
