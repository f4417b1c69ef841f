#include "qt/start/DailyBackup.h"

#include "qt/ports/QtPlatform.h"
#include "settings/RegistryKey.h"
#include "state/StateFolder.h"

#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace pagelet {

DailyBackup::DailyBackup(QWidget* window, AutoBackup backup) : m_window(window), m_backup(std::move(backup))
{
    // Queued behind the window's first expose and paint.
    QTimer::singleShot(200, this, [this] { start(); });
}

DailyBackup::~DailyBackup()
{
    if (m_thread.joinable())
        m_thread.join();
}

std::u16string DailyBackup::folderFor(const std::u16string& dataFolder)
{
    QtRegistry registry;
    registry.open(kRegistryKeyPath);
    const std::u16string chosen = registry.read(u"Backup Path").value_or(u"");
    if (!chosen.empty())
        return chosen;
    return StateFolder(StateFolder::defaultRoot(), dataFolder).folder(u"backups");
}

void DailyBackup::start()
{
    const LocalDate today = localDate(static_cast<DayValue>(std::time(nullptr)));
    if (!m_backup.due(today))
        return;
    QPointer<DailyBackup> self(this);
    m_thread = std::thread([this, self, today] {
        const std::string error = m_backup.run(today);
        if (error.empty() || !m_backup.shouldTell(today))
            return;
        // Back on the interface thread; the object may be going by then, and the thread is joined
        // before it is gone, so the queued call is dropped rather than run on a dead window.
        QMetaObject::invokeMethod(this, [self, error] {
            if (self)
                QMessageBox::warning(self->m_window, QStringLiteral("Pagelet"),
                                     tr("오늘의 백업을 만들지 못했습니다: %1").arg(QString::fromStdString(error)));
        }, Qt::QueuedConnection);
    });
}

} // namespace pagelet
