#pragma once
#include <QObject>
#include <QPoint>
#include <QTimer>
#include <functional>

class QWidget;

namespace pagelet {

// The pen's tap-and-hold on a desktop: a left press held still for a moment. Moving further
// than a drag would, or letting go, cancels it.
class PressAndHold : public QObject {
    Q_OBJECT
public:
    static constexpr int kHoldMs = 600;

    // Watches target (for a scroll area, give its viewport); held runs when a hold completes.
    PressAndHold(QWidget* target, std::function<void()> held);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_held;
    QTimer m_timer;
    QPoint m_pressedAt;
};

} // namespace pagelet
