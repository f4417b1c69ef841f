#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;

namespace pagelet {

// One running copy per install folder. The claim is a listening socket in the abstract
// namespace, named after the folder: the kernel drops it with the process, even after
// SIGKILL, so nothing is ever left behind to block a start. The same socket carries the
// second copy's request to bring the window to the front.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claim { Mine, Elsewhere, Failed };

    explicit SingleInstance(const QString& installFolder);
    ~SingleInstance() override;

    // Mine: this process now runs the install. Elsewhere: another copy does and has been asked
    // to come to the front. Failed: the socket could not be made, or another user holds the
    // name (run anyway).
    Claim claim();

    // Called for every request of a later copy, with the activation token it was started with
    // (empty without one).
    std::function<void(const QByteArray& token)> raiseRequested;

    // The socket name for a folder: one per user and folder, however the folder is spelled.
    static QByteArray keyFor(const QString& installFolder);

private:
    void onIncoming();

    QByteArray m_key;
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace pagelet
