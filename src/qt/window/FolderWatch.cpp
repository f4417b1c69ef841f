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
    m_away.setSingleShot(true);
    m_away.setInterval(2000);
    connect(&m_away, &QTimer::timeout, this, &FolderWatch::changed);
}

void FolderWatch::refresh()
{
    const std::u16string folder = m_folder();
    // A watched folder renamed or unmounted drops out of the watcher's list without a word.
    const bool watching = !m_watched.isEmpty() && m_watcher.directories().contains(m_watched);
    if (watching && folder == m_folderNow)
        return;
    m_folderNow = folder;
    const QString path = QDir(folder.empty() ? QStringLiteral(".") : QString::fromStdU16String(folder)).absolutePath();
    if (watching && path == m_watched)
        return;
    if (watching)
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
    // A folder that is away gives no sign when it comes back: it is looked for until it is.
    if (m_watched.isEmpty())
        m_away.start();
    m_pages.noteOutsideChange();
}

} // namespace pagelet
