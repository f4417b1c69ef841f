#pragma once
#include <QObject>
#include <memory>
#include <string>

class QAudioSource;
class QIODevice;

namespace pagelet {

class MemoWriter;

// Records the default input into a memo through a MemoWriter: the memo is replaced when the
// recording stops, never before.
class MemoRecorder : public QObject {
    Q_OBJECT
public:
    enum class Result { Ok, NoDevice, CannotWrite };

    explicit MemoRecorder(std::u16string memoPath, QObject* parent = nullptr);
    ~MemoRecorder() override;

    Result start();
    // Ends the recording and puts it in the memo's place.
    Result stop();
    bool active() const { return m_source != nullptr; }
    double seconds() const;
    int level() const { return m_level; } // 0 to 100, the loudest of the latest sound

signals:
    // The device went away or the file could not take more; what was recorded is kept.
    void failed(pagelet::MemoRecorder::Result why);

private:
    void take();
    void onStateChanged();
    void drop();

    std::u16string m_memo;
    std::unique_ptr<QAudioSource> m_source;
    QIODevice* m_input = nullptr;
    std::unique_ptr<MemoWriter> m_writer;
    bool m_writeFailed = false;
    int m_level = 0;
};

} // namespace pagelet
