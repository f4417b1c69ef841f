#include "qt/window/EarlierYearsMenu.h"

#include "base/Day.h"
#include "diary/EarlierYears.h"

#include <QMenu>

namespace pagelet {

EarlierYearsMenu::EarlierYearsMenu(QMenu& menu, const PageStore& pages, Hooks hooks)
    : QObject(&menu), m_menu(menu), m_pages(pages), m_hooks(std::move(hooks))
{
    connect(&m_menu, &QMenu::aboutToShow, this, &EarlierYearsMenu::fill);
}

void EarlierYearsMenu::fill()
{
    m_menu.clear();
    // A popup takes no font from its parent menu: follow the window menu's zoom by hand.
    if (const auto* parent = qobject_cast<const QWidget*>(m_menu.parent()))
        m_menu.setFont(parent->font());
    const auto found = earlierYears(m_pages, m_hooks.shownDate());
    if (found.empty()) {
        m_menu.addAction(tr("지난 해의 같은 날에 쓴 일기가 없습니다"))->setEnabled(false);
        return;
    }
    for (const EarlierPage& page : found) {
        QString text = QString::fromStdU16String(isoDate(page.date));
        if (!page.firstLine.empty())
            text += QStringLiteral("  ") + QString::fromStdU16String(page.firstLine).replace(u'&', QStringLiteral("&&"));
        QAction* action = m_menu.addAction(text);
        connect(action, &QAction::triggered, this, [this, date = page.date] { m_hooks.show(date); });
    }
}

} // namespace pagelet
