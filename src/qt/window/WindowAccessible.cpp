#include "qt/window/WindowAccessible.h"

#include "qt/window/DrawnPartAccessible.h"
#include "qt/window/PageletWindow.h"

namespace pagelet {

WindowAccessible::WindowAccessible(PageletWindow* window) : QAccessibleWidget(window, QAccessible::Window)
{
}

WindowAccessible::~WindowAccessible()
{
    dropParts();
}

PageletWindow* WindowAccessible::pageletWindow() const
{
    return static_cast<PageletWindow*>(widget());
}

void WindowAccessible::dropParts() const
{
    for (QAccessible::Id id : m_ids)
        QAccessible::deleteAccessibleInterface(id);
    m_ids.clear();
    m_parts.clear();
    m_seen.clear();
}

bool WindowAccessible::syncParts() const
{
    PageletWindow* window = pageletWindow();
    if (!window)
        return false;
    const std::vector<DrawnPart> now = drawnParts(window->dialog());
    bool same = now.size() == m_parts.size();
    for (std::size_t i = 0; same && i < now.size(); ++i)
        same = m_parts[i]->part() == now[i];
    if (same)
        return false;
    dropParts();
    for (const DrawnPart& part : now) {
        auto* iface = new DrawnPartAccessible(window, part);
        m_ids.push_back(QAccessible::registerAccessibleInterface(iface));
        m_parts.push_back(iface);
        m_seen.push_back(seen(*iface));
    }
    return true;
}

WindowAccessible::Seen WindowAccessible::seen(const DrawnPartAccessible& part) const
{
    return {part.text(QAccessible::Name), !part.state().disabled};
}

int WindowAccessible::childCount() const
{
    syncParts();
    return static_cast<int>(m_parts.size()) + QAccessibleWidget::childCount();
}

QAccessibleInterface* WindowAccessible::child(int index) const
{
    syncParts();
    const int parts = static_cast<int>(m_parts.size());
    if (index < 0)
        return nullptr;
    return index < parts ? m_parts[index] : QAccessibleWidget::child(index - parts);
}

int WindowAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    syncParts();
    for (std::size_t i = 0; i < m_parts.size(); ++i)
        if (m_parts[i] == child)
            return static_cast<int>(i);
    const int widgetIndex = QAccessibleWidget::indexOfChild(child);
    return widgetIndex < 0 ? -1 : widgetIndex + static_cast<int>(m_parts.size());
}

QAccessibleInterface* WindowAccessible::childAt(int x, int y) const
{
    // The widgets lie over the skin (the calendar over the buttons): they come first.
    if (QAccessibleInterface* widget = QAccessibleWidget::childAt(x, y))
        return widget;
    syncParts();
    for (DrawnPartAccessible* part : m_parts)
        if (part->rect().contains(x, y))
            return part;
    return nullptr;
}

void WindowAccessible::refresh()
{
    if (syncParts()) {
        QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
        return;
    }
    for (std::size_t i = 0; i < m_parts.size(); ++i) {
        const Seen now = seen(*m_parts[i]);
        if (now.name != m_seen[i].name) {
            QAccessibleEvent event(m_parts[i], QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
        if (now.enabled != m_seen[i].enabled) {
            QAccessible::State changed;
            changed.disabled = true;
            QAccessibleStateChangeEvent event(m_parts[i], changed);
            QAccessible::updateAccessibility(&event);
        }
        m_seen[i] = now;
    }
}

void installWindowAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory([](const QString& key, QObject* object) -> QAccessibleInterface* {
            auto* window = qobject_cast<PageletWindow*>(object);
            if (window && key == QLatin1String(PageletWindow::staticMetaObject.className()))
                return new WindowAccessible(window);
            return nullptr;
        });
        return true;
    }();
    (void)installed;
}

} // namespace pagelet
