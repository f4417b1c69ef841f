#include "qt/dialogs/QtDialogs.h"

#include "qt/dialogs/DialogTemplate.h"
#include "qt/dialogs/QtDialog.h"
#include "qt/graphics/QtGraphics.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <atomic>
#include <thread>

namespace pagelet {

bool QtDialogs::run(int templateId, DialogHandler& handler)
{
    const DialogTemplate* layout = dialogTemplate(templateId);
    if (!layout)
        return false;
    QtDialog window(*layout, handler, m_zoom);
    return window.run();
}

void QtDialogs::runWithProgress(const std::u16string& title, const std::function<void(const Progress&)>& work)
{
    QProgressDialog bar(toQString(title), QString(), 0, 0, QApplication::activeWindow());
    bar.setWindowTitle(QStringLiteral("Pagelet"));
    bar.setWindowModality(Qt::ApplicationModal);
    bar.setMinimumDuration(0);
    // Nothing to cancel: a conversion stopped halfway is finished by the next run, not undone.
    bar.setCancelButton(nullptr);
    bar.show();
    QEventLoop loop;
    QPointer<QProgressDialog> shown(&bar);
    std::atomic<bool> done = false;
    std::thread worker([&] {
        work([&shown](int step, int total) {
            QMetaObject::invokeMethod(shown.data(), [shown, step, total] {
                if (shown) {
                    shown->setMaximum(total);
                    shown->setValue(step);
                }
            }, Qt::QueuedConnection);
        });
        done = true;
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    // The window stays painted and answers nothing but the bar while the files are converted.
    if (!done)
        loop.exec();
    worker.join();
}

} // namespace pagelet
