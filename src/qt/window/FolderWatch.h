#pragma once
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <string>

namespace pagelet {

class PageStore;

// Watches the data folder for other writers (sync tools, a second machine) and tells the
// store. The folder is watched, not the page: a file watch goes quiet once the file is
// replaced by a rename, which is how sync tools and we write.
class FolderWatch : public QObject {
public:
    FolderWatch(QObject* parent, PageStore& pages, std::function<std::u16string()> folder);
    // Follows the data folder after it may have changed.
    void refresh();

private:
    void changed();

    PageStore& m_pages;
    std::function<std::u16string()> m_folder;
    QFileSystemWatcher m_watcher;
    QTimer m_settle; // a sync writes beside and renames: one look after the burst
    std::u16string m_folderNow;
    QString m_watched;
};

} // namespace pagelet
