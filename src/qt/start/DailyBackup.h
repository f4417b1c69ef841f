#pragma once
#include "state/AutoBackup.h"

#include <QObject>
#include <thread>
#include <vector>

class QWidget;

namespace pagelet {

// The day's backup, started once the window has been painted and written on a thread of its
// own, so the diary never waits for it; a failure is said once a day. Waits for the thread
// when it goes, so the program never ends in the middle of a zip.
class DailyBackup : public QObject {
    Q_OBJECT
public:
    // One backup per folder, in turn on the one thread.
    DailyBackup(QWidget* window, std::vector<AutoBackup> backups);
    ~DailyBackup() override;

    // ${XDG_STATE_HOME:-~/.local/state}/Pagelet/backups/KEY/ for the data folder, and the
    // second place the registry's "Backup Path" names (a USB stick, another disk), if any.
    static std::vector<std::u16string> foldersFor(const std::u16string& dataFolder);

private:
    void start();

    QWidget* m_window;
    std::vector<AutoBackup> m_backups;
    std::thread m_thread;
};

} // namespace pagelet
