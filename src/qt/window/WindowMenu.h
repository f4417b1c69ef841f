#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QAction;
class QActionGroup;
class QKeySequence;
class QMenu;
class QWidget;

namespace pagelet {

class Zoom;

// The window's keys and its right-click menu: every command with its keys, the zoom steps
// and "Pagelet 정보". The keys live on the window as actions, so they work wherever the focus is.
class WindowMenu : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<bool(int)> tap;    // a button command, as a tap
        std::function<bool(int)> canTap; // whether that tap would act now
        std::function<void(int)> zoomTo; // percent
        std::function<void()> close;
        std::function<void()> commit;                  // an input method's composition, before any entry acts
        std::function<void(const QPoint&)> open;       // the menu at a global place, as a right click does
    };
    // The zoom steps' check mark and the menu's size follow zoom.
    WindowMenu(QWidget& window, const Zoom& zoom, Hooks hooks);

    // Another entry in the menu's own group above "Pagelet 정보" (finding in every page,
    // exporting), with keys of its own that work like the rest.
    QAction* addEntry(const QString& text, const QKeySequence& keys, std::function<void()> run);
    // A submenu in the same group, filled by its owner; its keys open it alone.
    QMenu* addSubmenu(const QString& text, const QKeySequence& keys);
    // An entry at the top acting on the page, shown with its keys, which stay the page's own.
    // Greyed in the menu while enabled says no.
    QAction* addPageEntry(const QString& text, const QKeySequence& keys, std::function<bool()> enabled,
                          std::function<void()> run);

    // The menu as it stands now: entries whose button would do nothing are greyed.
    void popup(const QPoint& globalPos);
    QMenu& menu() { return *m_menu; }
    // Puts the zoom check mark on the current step and greys the steps that don't fit.
    void refresh();

    // The keys that must reach the window even from the editor.
    bool isWindowKey(const QKeySequence& keys) const;

    // Where a menu opened from the keyboard goes: under the caret, or inside the window.
    QPoint keyboardSpot() const;

private:
    void about();

    QWidget& m_window;
    const Zoom& m_zoom;
    Hooks m_hooks;
    QMenu* m_menu = nullptr;
    QAction* m_pageSection = nullptr;  // the page's entries go above this
    QAction* m_extraSection = nullptr; // later entries go above this
    std::vector<std::pair<int, QAction*>> m_commands;
    std::vector<std::pair<std::function<bool()>, QAction*>> m_pageEntries;
    std::vector<std::pair<int, QAction*>> m_steps;
    QActionGroup* m_stepGroup = nullptr;
};

} // namespace pagelet
