#pragma once
#include <QBuffer>
#include <QElapsedTimer>
#include <QTimer>
#include <QObject>
#include <memory>
#include <string>

class QAudioSink;

namespace pagelet {

// Plays a memo to the default output.
class MemoPlayer : public QObject {
    Q_OBJECT
public:
    enum class Result { Ok, NoDevice, Unplayable };

    explicit MemoPlayer(QObject* parent = nullptr);
    ~MemoPlayer() override;

    Result start(const std::u16string& memoPath);
    void stop();
    bool active() const { return m_sink != nullptr; }
    double seconds() const; // played so far, or at the last stop
    double total() const { return m_total; }

signals:
    // Played to the end, or cut off when the device failed.
    void finished(bool deviceFailed);

private:
    void onStateChanged();
    void drain();

    std::unique_ptr<QAudioSink> m_sink;
    QBuffer m_buffer;
    QTimer m_drain;
    QElapsedTimer m_drainUntil;
    double m_total = 0;
    double m_played = 0;
};

} // namespace pagelet
