#include "qt/sound/MemoRecorder.h"

#include "qt/sound/MemoWriter.h"
#include "qt/sound/SoundServer.h"
#include "store/PageStore.h"

#include <QAudioSource>
#include <algorithm>
#include <cmath>
#include <vector>

namespace pagelet {

namespace {
constexpr int kRate = 16000; // speech needs no more
}

MemoRecorder::MemoRecorder(PageStore& store, const LocalDate& date, QObject* parent)
    : QObject(parent), m_store(store), m_date(date)
{
}

MemoRecorder::~MemoRecorder()
{
    drop();
}

MemoRecorder::Result MemoRecorder::start()
{
    const QAudioDevice device = SoundServer::defaultInput();
    if (device.isNull())
        return Result::NoDevice;
    QAudioFormat format;
    format.setSampleRate(kRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        format = device.preferredFormat(); // mixed down and converted as it comes in
    m_source = new QAudioSource(device, format, this);
    m_input = m_source->start();
    if (!m_input || m_source->error() != QAudio::NoError) {
        drop();
        return Result::NoDevice;
    }
    // Opened before any sound arrives: nothing comes in before the event loop runs again.
    m_writer = std::make_unique<MemoWriter>(m_store.draftMemo(m_date), format.sampleRate());
    if (!m_writer->open()) {
        drop();
        return Result::CannotWrite;
    }
    m_writeFailed = m_deviceLost = m_failing = false;
    connect(m_input, &QIODevice::readyRead, this, &MemoRecorder::take);
    connect(m_source, &QAudioSource::stateChanged, this, &MemoRecorder::onStateChanged);
    return Result::Ok;
}

void MemoRecorder::take()
{
    if (!m_input || m_writeFailed)
        return;
    const QByteArray data = m_input->readAll();
    const QAudioFormat format = m_source->format();
    const int frameBytes = format.bytesPerFrame();
    const int channels = format.channelCount();
    if (frameBytes <= 0 || data.isEmpty())
        return;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(data.size() / frameBytes));
    float peak = 0;
    for (std::size_t f = 0; f < samples.size(); ++f) {
        float sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += format.normalizedSampleValue(data.constData() + f * frameBytes + c * format.bytesPerSample());
        const float v = std::clamp(sum / channels, -1.0f, 1.0f);
        peak = std::max(peak, std::fabs(v));
        samples[f] = static_cast<std::int16_t>(std::lround(v * 32767));
    }
    m_level = static_cast<int>(peak * 100);
    if (!m_writer->write(samples.data(), samples.size())) {
        m_writeFailed = true;
        fail(Result::CannotWrite);
    }
}

void MemoRecorder::onStateChanged()
{
    if (m_source && m_source->state() == QAudio::StoppedState && m_source->error() != QAudio::NoError) {
        m_deviceLost = true;
        fail(Result::NoDevice);
    }
}

// Told once the audio callback has returned: whoever hears it may stop the source or open a
// message box, neither of which the source survives from inside its own signal.
void MemoRecorder::fail(Result why)
{
    if (m_failing)
        return;
    m_failing = true;
    QMetaObject::invokeMethod(
        this,
        [this, why] {
            if (active() && failed)
                failed(why);
        },
        Qt::QueuedConnection);
}

MemoRecorder::Result MemoRecorder::stop()
{
    if (!m_source)
        return Result::Ok;
    if (!m_deviceLost)
        take(); // what the device still holds belongs to the recording
    closeSource();
    m_level = 0;
    // A device lost before any sound came leaves the old memo.
    if (m_deviceLost && m_writer->frames() == 0) {
        m_writer.reset();
        return Result::Ok;
    }
    const bool kept = !m_writeFailed && m_writer->finish();
    m_writer.reset();
    return kept ? Result::Ok : Result::CannotWrite;
}

double MemoRecorder::seconds() const
{
    return m_writer ? static_cast<double>(m_writer->frames()) / m_writer->sampleRate() : 0.0;
}

void MemoRecorder::closeSource()
{
    if (!m_source)
        return;
    disconnect(m_source, nullptr, this, nullptr);
    if (m_input)
        disconnect(m_input, nullptr, this, nullptr);
    m_source->stop();
    m_source->deleteLater();
    m_source = nullptr;
    m_input = nullptr;
}

void MemoRecorder::drop()
{
    closeSource();
    m_writer.reset(); // abandons the draft
}

} // namespace pagelet
