#include "qt/sound/MemoPlayer.h"

#include "qt/sound/MemoSound.h"
#include "qt/sound/SoundServer.h"

#include <QAudioSink>

namespace pagelet {

MemoPlayer::MemoPlayer(QObject* parent) : QObject(parent)
{
    m_drain.setInterval(20);
    connect(&m_drain, &QTimer::timeout, this, &MemoPlayer::drain);
}

MemoPlayer::~MemoPlayer()
{
    stop();
}

MemoPlayer::Result MemoPlayer::start(const Bytes& memo)
{
    stop();
    m_played = 0;
    const QAudioDevice device = SoundServer::defaultOutput();
    if (device.isNull())
        return Result::NoDevice;
    auto sound = MemoSound::read(memo);
    if (!sound)
        return Result::Unplayable;
    m_total = static_cast<double>(sound->samples.size()) / sound->sampleRate;
    QAudioFormat format;
    format.setSampleRate(sound->sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return Result::Unplayable;
    m_buffer.setData(reinterpret_cast<const char*>(sound->samples.data()),
                     static_cast<qsizetype>(sound->samples.size() * sizeof(std::int16_t)));
    m_buffer.open(QIODevice::ReadOnly);
    m_sink = std::make_unique<QAudioSink>(device, format);
    m_sink->start(&m_buffer);
    if (m_sink->error() != QAudio::NoError) {
        stop();
        return Result::NoDevice;
    }
    connect(m_sink.get(), &QAudioSink::stateChanged, this, &MemoPlayer::onStateChanged);
    return Result::Ok;
}

void MemoPlayer::onStateChanged()
{
    const QAudio::State state = m_sink->state();
    if (state == QAudio::IdleState) {
        // Everything is handed to the device, which still plays its buffer: stopping now would
        // cut the end off.
        m_drainUntil.start();
        m_drain.start();
    } else if (state == QAudio::StoppedState) {
        const bool failed = m_sink->error() != QAudio::NoError && m_sink->error() != QAudio::UnderrunError;
        end(failed);
    }
}

void MemoPlayer::drain()
{
    constexpr double kEnd = 0.02;
    const double left = m_total - seconds();
    if (left > kEnd && m_drainUntil.elapsed() < 1000)
        return;
    end(false);
}

// Told once the sink's signal has returned, as whoever hears it may open a message box.
void MemoPlayer::end(bool deviceFailed)
{
    stop();
    QMetaObject::invokeMethod(
        this,
        [this, deviceFailed] {
            if (!active() && finished)
                finished(deviceFailed);
        },
        Qt::QueuedConnection);
}

void MemoPlayer::stop()
{
    m_drain.stop();
    if (m_sink) {
        m_played = static_cast<double>(m_sink->processedUSecs()) / 1e6;
        disconnect(m_sink.get(), nullptr, this, nullptr);
        m_sink->stop();
        // Deleted from the event loop: this may run inside the sink's own signal.
        m_sink.release()->deleteLater();
    }
    m_buffer.close();
}

double MemoPlayer::seconds() const
{
    return m_sink ? static_cast<double>(m_sink->processedUSecs()) / 1e6 : m_played;
}

} // namespace pagelet
