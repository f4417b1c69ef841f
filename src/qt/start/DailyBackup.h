#pragma once
#include "state/AutoBackup.h"

#include <QObject>
#include <thread>

class QWidget;

namespace pagelet {

// The day's backup, started once the window has been painted and written on a thread of its
// own, so the diary never waits for it; a failure is said once a day. Waits for the thread
// when it goes, so the program never ends in the middle of a zip.
class DailyBackup : public QObject {
    Q_OBJECT
public:
    DailyBackup(QWidget* window, AutoBackup backup);
    ~DailyBackup() override;

    // ${XDG_STATE_HOME:-~/.local/state}/Pagelet/backups/KEY/ for the data folder, unless the
    // registry's "Backup Path" names another.
    static std::u16string folderFor(const std::u16string& dataFolder);

private:
    void start();

    QWidget* m_window;
    AutoBackup m_backup;
    std::thread m_thread;
};

} // namespace pagelet
