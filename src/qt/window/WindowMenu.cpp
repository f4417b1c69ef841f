#include "qt/window/WindowMenu.h"

#include "qt/window/Shortcuts.h"
#include "qt/graphics/Zoom.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QWidget>

namespace pagelet {

WindowMenu::WindowMenu(QWidget& window, const Zoom& zoom, Hooks hooks)
    : QObject(&window), m_window(window), m_zoom(zoom), m_hooks(std::move(hooks))
{
    m_menu = new QMenu(&window);
    m_menu->addSeparator();
    QMenu* sizes = m_menu->addMenu(tr("크기"));
    m_menu->addSeparator();
    m_extraSection = m_menu->addSeparator();
    m_menu->addAction(tr("Pagelet 정보"), this, &WindowMenu::about);
    m_menu->addSeparator();
    QAction* commandsEnd = m_menu->actions().front();
    for (const Shortcut& s : shortcuts()) {
        auto* action = new QAction(s.name, &window);
        action->setShortcuts(s.keys);
        window.addAction(action);
        switch (s.kind) {
        case Shortcut::Command:
            m_commands.emplace_back(s.command, action);
            connect(action, &QAction::triggered, this, [this, c = s.command] { m_hooks.tap(c); });
            m_menu->insertAction(commandsEnd, action);
            break;
        case Shortcut::ZoomIn:
        case Shortcut::ZoomOut:
        case Shortcut::ZoomReset:
            connect(action, &QAction::triggered, this, [this, kind = s.kind] {
                m_hooks.zoomTo(kind == Shortcut::ZoomIn ? m_zoom.stepUp() : kind == Shortcut::ZoomOut ? m_zoom.stepDown() : 100);
            });
            sizes->addAction(action);
            break;
        case Shortcut::Close:
            connect(action, &QAction::triggered, this, [this] { m_hooks.close(); });
            m_menu->addAction(action);
            break;
        }
    }
    sizes->addSeparator();
    m_stepGroup = new QActionGroup(this);
    for (int step : Zoom::kSteps) {
        QAction* a = sizes->addAction(QStringLiteral("%1 %").arg(step));
        a->setCheckable(true);
        m_stepGroup->addAction(a);
        m_steps.emplace_back(step, a);
        connect(a, &QAction::triggered, this, [this, step] { m_hooks.zoomTo(step); });
    }
    // Greyed only while the menu shows: the keys decide for themselves each time.
    connect(m_menu, &QMenu::aboutToHide, this, [this] {
        for (auto& [command, action] : m_commands)
            action->setEnabled(true);
    });
    refresh();
}

QAction* WindowMenu::addEntry(const QString& text, const QKeySequence& keys, std::function<void()> run)
{
    auto* action = new QAction(text, &m_window);
    action->setShortcut(keys);
    m_window.addAction(action);
    connect(action, &QAction::triggered, this, [run = std::move(run)] { run(); });
    m_menu->insertAction(m_extraSection, action);
    return action;
}

QMenu* WindowMenu::addSubmenu(const QString& text)
{
    auto* submenu = new QMenu(text, m_menu);
    m_menu->insertMenu(m_extraSection, submenu);
    return submenu;
}

void WindowMenu::refresh()
{
    for (auto& [step, action] : m_steps) {
        action->setChecked(step == m_zoom.percent());
        action->setEnabled(m_zoom.allows(step));
    }
}

void WindowMenu::popup(const QPoint& globalPos)
{
    for (auto& [command, action] : m_commands)
        action->setEnabled(m_hooks.canTap(command));
    refresh();
    m_menu->setFont(m_zoom.scaled(QApplication::font()));
    m_menu->popup(globalPos);
}

bool WindowMenu::isWindowKey(const QKeySequence& keys) const
{
    for (const QAction* a : m_window.actions())
        if (a->shortcuts().contains(keys))
            return true;
    return false;
}

void WindowMenu::about()
{
    QMessageBox::about(&m_window, tr("Pagelet 정보"),
                       tr("<b>Pagelet</b> %1<br><br>하루 한 장의 개인 일기장<br><br>"
                          "MIT 라이선스로 배포합니다.")
                           .arg(QApplication::applicationVersion()));
}

} // namespace pagelet
