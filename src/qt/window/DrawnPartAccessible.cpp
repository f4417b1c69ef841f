#include "qt/window/DrawnPartAccessible.h"

#include "qt/window/PageletWindow.h"

namespace pagelet {

DrawnPartAccessible::DrawnPartAccessible(PageletWindow* window, const DrawnPart& part) : m_window(window), m_part(part)
{
}

bool DrawnPartAccessible::isValid() const
{
    return m_window && partExists(m_window->dialog(), m_part);
}

QWindow* DrawnPartAccessible::window() const
{
    return m_window ? m_window->windowHandle() : nullptr;
}

QAccessibleInterface* DrawnPartAccessible::parent() const
{
    return m_window ? QAccessible::queryAccessibleInterface(m_window.data()) : nullptr;
}

QString DrawnPartAccessible::text(QAccessible::Text t) const
{
    if (!isValid())
        return {};
    switch (t) {
    case QAccessible::Name:
        return partName(m_window->dialog(), m_part);
    case QAccessible::Accelerator:
        return partKey(m_window->dialog(), m_part);
    default:
        return {};
    }
}

QRect DrawnPartAccessible::rect() const
{
    if (!isValid())
        return {};
    const QRect local = m_window->zoom().scaled(partRect(m_window->dialog(), m_part));
    return QRect(m_window->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::Role DrawnPartAccessible::role() const
{
    return m_part.kind == DrawnPart::Button ? QAccessible::PushButton : QAccessible::StaticText;
}

QAccessible::State DrawnPartAccessible::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    s.invisible = !m_window->isVisible();
    if (m_part.kind == DrawnPart::Button) {
        const SkinElement* e = elementOf(m_window->dialog(), m_part);
        s.disabled = !e->enabled;
    } else {
        s.readOnly = true;
    }
    return s;
}

void* DrawnPartAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ActionInterface && m_part.kind == DrawnPart::Button)
        return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

QStringList DrawnPartAccessible::actionNames() const
{
    return m_part.kind == DrawnPart::Button ? QStringList {pressAction()} : QStringList {};
}

void DrawnPartAccessible::doAction(const QString& actionName)
{
    if (actionName != pressAction() || !isValid() || m_part.kind != DrawnPart::Button)
        return;
    // Posted: a button that opens a modal dialog must not hold the screen reader's call.
    const Rect r = partRect(m_window->dialog(), m_part);
    QMetaObject::invokeMethod(
        m_window.data(), [window = m_window.data(), r] { window->clickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2); },
        Qt::QueuedConnection);
}

QStringList DrawnPartAccessible::keyBindingsForAction(const QString& actionName) const
{
    const QString key = actionName == pressAction() ? text(QAccessible::Accelerator) : QString();
    return key.isEmpty() ? QStringList {} : QStringList {key};
}

} // namespace pagelet
