#include "qt/window/WindowMenu.h"

#include "qt/window/Shortcuts.h"
#include "qt/graphics/Zoom.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QWidget>
#include <algorithm>

namespace pagelet {

WindowMenu::WindowMenu(QWidget& window, const Zoom& zoom, Hooks hooks)
    : QObject(&window), m_window(window), m_zoom(zoom), m_hooks(std::move(hooks))
{
    m_menu = new QMenu(&window);
    m_pageSection = m_menu->addSeparator();
    m_menu->addSeparator();
    QMenu* sizes = m_menu->addMenu(tr("크기"));
    m_menu->addSeparator();
    m_extraSection = m_menu->addSeparator();
    auto* about = new QAction(tr("Pagelet 정보"), &window);
    about->setShortcut(QKeySequence(Qt::Key_F1));
    window.addAction(about);
    connect(about, &QAction::triggered, this, &WindowMenu::about);
    m_menu->addAction(about);
    m_menu->addSeparator();
    QAction* commandsEnd = m_menu->actions().at(1);
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
        case Shortcut::Menu:
            connect(action, &QAction::triggered, this, [this] { m_hooks.open(keyboardSpot()); });
            break;
        }
    }
    sizes->addSeparator();
    m_stepGroup = new QActionGroup(this);
    for (int step : Zoom::kSteps) {
        // The step's first digit not taken by an earlier one picks it from the keyboard.
        QString text = QStringLiteral("%1 %").arg(step);
        for (qsizetype i = 0; i < text.size(); ++i)
            if (text[i].isDigit() && std::none_of(m_steps.begin(), m_steps.end(), [&](const auto& s) {
                    return s.second->text().contains(QStringLiteral("&") + text[i]);
                })) {
                text.insert(i, u'&');
                break;
            }
        QAction* a = sizes->addAction(text);
        a->setCheckable(true);
        m_stepGroup->addAction(a);
        m_steps.emplace_back(step, a);
        connect(a, &QAction::triggered, this, [this, step] { m_hooks.zoomTo(step); });
    }
    // Greyed only while the menu shows: the keys decide for themselves each time.
    connect(m_menu, &QMenu::aboutToHide, this, [this] {
        for (auto& [command, action] : m_commands)
            action->setEnabled(true);
        for (auto& [enabled, action] : m_pageEntries)
            action->setEnabled(true);
    });
    refresh();
}

QAction* WindowMenu::addEntry(const QString& text, const QKeySequence& keys, std::function<void()> run)
{
    auto* action = new QAction(text, &m_window);
    action->setShortcut(keys);
    m_window.addAction(action);
    connect(action, &QAction::triggered, this, [this, run = std::move(run)] {
        m_hooks.commit();
        run();
    });
    m_menu->insertAction(m_extraSection, action);
    return action;
}

QMenu* WindowMenu::addSubmenu(const QString& text, const QKeySequence& keys)
{
    auto* submenu = new QMenu(text, m_menu);
    m_menu->insertMenu(m_extraSection, submenu)->setShortcut(keys);
    auto* opener = new QAction(text, &m_window);
    opener->setShortcut(keys);
    m_window.addAction(opener);
    connect(opener, &QAction::triggered, this, [this, submenu] {
        m_hooks.commit();
        submenu->popup(keyboardSpot());
    });
    return submenu;
}

QAction* WindowMenu::addPageEntry(const QString& text, const QKeySequence& keys, std::function<bool()> enabled,
                                  std::function<void()> run)
{
    auto* action = new QAction(text, m_menu);
    action->setShortcut(keys);
    // Shown only: the page handles these keys itself.
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this, [run = std::move(run)] { run(); });
    m_menu->insertAction(m_pageSection, action);
    m_pageEntries.emplace_back(std::move(enabled), action);
    return action;
}

QPoint WindowMenu::keyboardSpot() const
{
    QWidget* focus = QApplication::focusWidget();
    if (focus && m_window.isAncestorOf(focus)) {
        const QRect caret = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        if (caret.isValid() && focus->rect().contains(caret.bottomLeft()))
            return focus->mapToGlobal(caret.bottomLeft());
    }
    return m_window.mapToGlobal(QPoint(m_window.width() / 4, m_window.height() / 4));
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
    for (auto& [enabled, action] : m_pageEntries)
        action->setEnabled(enabled());
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
