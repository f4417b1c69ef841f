#pragma once
#include <QObject>
#include <functional>

class QSocketNotifier;

namespace pagelet {

// Turns SIGTERM, SIGHUP and SIGINT into a call on the event loop. The handler only writes the
// signal's number into a socket pair; everything else runs later, where Qt may be used.
// A signal ignored when the program started (nohup, a background job) stays ignored.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    QuitSignals();
    ~QuitSignals() override; // puts the old handlers back

    std::function<void(int)> received;

private:
    void onReadable();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace pagelet
