#include "qt/dialogs/PressAndHold.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace pagelet {

PressAndHold::PressAndHold(QWidget* target, std::function<void()> held) : QObject(target), m_held(std::move(held))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kHoldMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_held)
            m_held();
    });
    target->installEventFilter(this);
}

bool PressAndHold::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_pressedAt = mouse->globalPosition().toPoint();
            m_timer.start();
        }
        break;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if ((mouse->globalPosition().toPoint() - m_pressedAt).manhattanLength() > QApplication::startDragDistance())
            m_timer.stop();
        break;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Hide:
        m_timer.stop();
        break;
    default:
        break;
    }
    return false; // the edit still selects and places its caret as usual
}

} // namespace pagelet
