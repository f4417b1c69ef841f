#pragma once
#include <QObject>
#include <functional>

class QMenu;

namespace pagelet {

class PageStore;
struct LocalDate;

// "지난 해 오늘": filled each time it opens with the pages kept on the shown month and day in
// earlier years; choosing one goes there as any change of day does.
class EarlierYearsMenu : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<LocalDate()> shownDate;
        std::function<bool(const LocalDate&)> show; // false when the page left could not be stored
    };
    EarlierYearsMenu(QMenu& menu, const PageStore& pages, Hooks hooks);

    // Fills the menu for the day shown now (it also runs as the menu opens).
    void fill();

private:
    QMenu& m_menu;
    const PageStore& m_pages;
    Hooks m_hooks;
};

} // namespace pagelet
