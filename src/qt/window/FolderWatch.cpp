#include "qt/window/FolderWatch.h"

#include "store/PageStore.h"

#include <QApplication>
#include <QDir>

namespace pagelet {

FolderWatch::FolderWatch(QObject* parent, PageStore& pages, std::function<std::u16string()> folder)
    : QObject(parent), m_pages(pages), m_folder(std::move(folder))
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(200);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_settle, &QTimer::timeout, this, &FolderWatch::changed);
}

void FolderWatch::refresh()
{
    const std::u16string folder = m_folder();
    if (!m_watched.isEmpty() && folder == m_folderNow)
        return;
    m_folderNow = folder;
    const QString path = QDir(folder.empty() ? QStringLiteral(".") : QString::fromStdU16String(folder)).absolutePath();
    if (path == m_watched)
        return;
    if (!m_watched.isEmpty())
        m_watcher.removePath(m_watched);
    m_watched = m_watcher.addPath(path) ? path : QString();
}

void FolderWatch::changed()
{
    // Not while a question or message is up: the answer may be about to store the page.
    if (QApplication::activeModalWidget()) {
        m_settle.start();
        return;
    }
    refresh();
    m_pages.noteOutsideChange();
}

} // namespace pagelet
