#include "qt/start/DailyBackup.h"

#include "qt/ports/QtPlatform.h"
#include "settings/RegistryKey.h"
#include "state/StateFolder.h"

#include <QMessageBox>
#include <algorithm>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace pagelet {

DailyBackup::DailyBackup(QWidget* window, std::vector<AutoBackup> backups)
    : m_window(window), m_backups(std::move(backups))
{
    // Queued behind the window's first expose and paint.
    QTimer::singleShot(200, this, [this] { start(); });
}

DailyBackup::~DailyBackup()
{
    if (m_thread.joinable())
        m_thread.join();
}

std::vector<std::u16string> DailyBackup::foldersFor(const std::u16string& dataFolder)
{
    std::vector<std::u16string> folders {StateFolder(StateFolder::defaultRoot(), dataFolder).folder(u"backups")};
    QtRegistry registry;
    registry.open(kRegistryKeyPath);
    std::u16string chosen = registry.read(kBackupPathValue).value_or(u"");
    if (!chosen.empty() && chosen.back() != u'/')
        chosen += u'/';
    if (!chosen.empty() && chosen != folders.front())
        folders.push_back(chosen);
    return folders;
}

void DailyBackup::start()
{
    const LocalDate today = localDate(static_cast<DayValue>(std::time(nullptr)));
    if (std::none_of(m_backups.begin(), m_backups.end(), [&](const AutoBackup& b) { return b.due(today); }))
        return;
    QPointer<DailyBackup> self(this);
    m_thread = std::thread([this, self, today] {
        std::string error;
        for (AutoBackup& backup : m_backups) {
            // Each place says its failure once a day; one that failed never keeps the other.
            const Outcome<void> done = backup.run(today);
            if (!done && backup.shouldTell(today) && error.empty())
                error = done.error();
        }
        if (error.empty())
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
