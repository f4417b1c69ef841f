#pragma once
// Another writer of the shown day's page: a sync tool or a second machine sharing the data
// folder. Its change is never overwritten in silence.
#include "base/Day.h"
#include "store/PageStamp.h"
#include "store/PageStore.h"

#include <functional>
#include <optional>
#include <set>
#include <string>

namespace pagelet {

class MessageBoxPort;

class SecondWriter {
public:
    SecondWriter(PageStore& pages, MessageBoxPort& messages);

    // The page file as this window last read or wrote it.
    void noteFile(const PageStamp& stamp) { m_stamp = stamp; }
    PageStamp* stamp() { return &m_stamp; }

    // Before the shown page is stored. base: the page as loaded or stored; ours: as the window
    // has it. What the window is then to show, when that is no longer ours: the other writer's
    // page when nothing was changed here (nothing to store), else the merge of both, to be
    // stored, after saying so once (unless told not to: nobody answers at a logout or a SIGTERM).
    struct Outcome {
        enum class Kind { StoreOurs, ShowTheirs, StoreMerged } kind = Kind::StoreOurs;
        Page page;
    };
    enum class Telling { Person, Nobody };
    Outcome beforeStore(const LocalDate& date, const Page& base, std::int32_t weather, const std::u16string& text,
                        Telling telling = Telling::Person);
    // What another writer did to the file since it was shown; the stamp follows the file.
    OutsideCheck checkShown(const LocalDate& date);
    // Sync tools' copies of the day's page: asks once per copy whether to take each into ours;
    // the merged page when one was taken (its copy removed after the caller stored it). ours is
    // asked for only then: reading the page out of the editor at every change of day cost more
    // than the look for copies.
    std::optional<Page> offerConflictCopies(const LocalDate& date, const std::function<Page()>& ours);
    void removeTakenCopies();

private:
    PageStore& m_pages;
    MessageBoxPort& m_messages;
    PageStamp m_stamp;
    std::set<std::u16string> m_asked;
    std::vector<std::u16string> m_taken;
};

} // namespace pagelet
