#pragma once
#include "qt/sound/MemoPlayback.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTimer>
#include <QObject>
#include <memory>

class QAudioSink;

namespace pagelet {

// Plays a memo to the default output through Qt's sound.
class MemoPlayer : public QObject, public MemoPlayback {
    Q_OBJECT
public:
    explicit MemoPlayer(QObject* parent = nullptr);
    ~MemoPlayer() override;

    Result start(const Bytes& memo) override;
    void stop() override;
    bool active() const override { return m_sink != nullptr; }
    double seconds() const override;
    double total() const override { return m_total; }

private:
    void end(bool deviceFailed);
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
