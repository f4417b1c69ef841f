#include "qt/sound/MemoRecorder.h"

#include "qt/sound/MemoWriter.h"

#include <QAudioSource>
#include <QMediaDevices>
#include <algorithm>
#include <cmath>
#include <vector>

namespace pagelet {

namespace {
constexpr int kRate = 16000; // speech needs no more
}

MemoRecorder::MemoRecorder(std::u16string memoPath, QObject* parent) : QObject(parent), m_memo(std::move(memoPath))
{
}

MemoRecorder::~MemoRecorder()
{
    drop();
}

MemoRecorder::Result MemoRecorder::start()
{
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull())
        return Result::NoDevice;
    QAudioFormat format;
    format.setSampleRate(kRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        format = device.preferredFormat(); // mixed down and converted as it comes in
    m_source = std::make_unique<QAudioSource>(device, format);
    m_input = m_source->start();
    if (!m_input || m_source->error() != QAudio::NoError) {
        drop();
        return Result::NoDevice;
    }
    // Opened before any sound arrives: nothing comes in before the event loop runs again.
    m_writer = std::make_unique<MemoWriter>(m_memo, format.sampleRate());
    if (!m_writer->open()) {
        drop();
        return Result::CannotWrite;
    }
    m_writeFailed = false;
    connect(m_input, &QIODevice::readyRead, this, &MemoRecorder::take);
    connect(m_source.get(), &QAudioSource::stateChanged, this, &MemoRecorder::onStateChanged);
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
    if (m_source && m_source->state() == QAudio::StoppedState && m_source->error() != QAudio::NoError)
        fail(Result::NoDevice);
}

void MemoRecorder::fail(Result why)
{
    if (failed)
        failed(why);
}

MemoRecorder::Result MemoRecorder::stop()
{
    if (!m_source)
        return Result::Ok;
    take(); // what the device still holds belongs to the recording
    disconnect(m_source.get(), nullptr, this, nullptr);
    m_source->stop();
    m_source.reset();
    m_input = nullptr;
    m_level = 0;
    const bool kept = !m_writeFailed && m_writer->finish();
    m_writer.reset();
    return kept ? Result::Ok : Result::CannotWrite;
}

double MemoRecorder::seconds() const
{
    return m_writer ? static_cast<double>(m_writer->frames()) / m_writer->sampleRate() : 0.0;
}

void MemoRecorder::drop()
{
    if (m_source) {
        disconnect(m_source.get(), nullptr, this, nullptr);
        m_source->stop();
    }
    m_source.reset();
    m_input = nullptr;
    m_writer.reset(); // abandons the temporary file
}

} // namespace pagelet
