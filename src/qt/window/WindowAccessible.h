#pragma once
#include "qt/window/DrawnPart.h"

#include <QAccessibleWidget>
#include <QString>
#include <vector>

namespace pagelet {

class DrawnPartAccessible;
class PageletWindow;

// The main window as a screen reader sees it: its widgets (the page, the calendar) and, before
// them, the parts drawn from the skin, which Qt knows nothing of.
class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(PageletWindow* window);
    ~WindowAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    // Tells the screen reader what changed on the drawn parts since it was last asked: a skin
    // replaced, a button greyed or renamed (edit and save), the day or the weather.
    void refresh();

private:
    struct Seen {
        QString name;
        bool enabled;
    };
    PageletWindow* pageletWindow() const;
    // The parts as the skin has them now; true when they had to be made again.
    bool syncParts() const;
    void dropParts() const;
    Seen seen(const DrawnPartAccessible& part) const;

    mutable std::vector<DrawnPartAccessible*> m_parts;
    mutable std::vector<QAccessible::Id> m_ids; // the parts are Qt's to keep, under these
    mutable std::vector<Seen> m_seen;
};

// Makes Qt ask for WindowAccessible for every PageletWindow; once is enough.
void installWindowAccessibility();

} // namespace pagelet
