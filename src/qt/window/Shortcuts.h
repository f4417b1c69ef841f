#pragma once
#include <QKeySequence>
#include <QList>
#include <QString>
#include <vector>

namespace pagelet {

// The window's keys: every button command, the zoom, closing the window and opening its menu.
struct Shortcut {
    enum Kind { Command, ZoomIn, ZoomOut, ZoomReset, Close, Menu };
    Kind kind;
    int command; // for Command, else 0
    QString name; // as the tooltip and the menu show it
    QList<QKeySequence> keys; // the first is the one shown
};

const std::vector<Shortcut>& shortcuts();
// The entry of a button command, or null.
const Shortcut* shortcutFor(int command);
// "name (keys)" for a skin button's tooltip; empty for a command without an entry.
QString tooltipFor(int command);

} // namespace pagelet
