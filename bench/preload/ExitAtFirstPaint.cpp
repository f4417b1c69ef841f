// Preloaded into every program a start-up comparison runs (LD_PRELOAD), Pagelet as shipped and
// the floors alike: ends the process once its first window's first paint has been handled.
// Qt calls the start-up function from QCoreApplication's constructor, so nothing in the
// programs themselves knows they are being timed.
#include "../FirstPaintExit.h"

#include <QCoreApplication>

namespace {

void watchForFirstPaint()
{
    static FirstPaintExit exitAtPaint;
    QCoreApplication::instance()->installEventFilter(&exitAtPaint);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchForFirstPaint)
