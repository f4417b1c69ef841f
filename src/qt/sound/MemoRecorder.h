#pragma once
#include "qt/sound/MemoRecording.h"

#include <QObject>
#include <memory>
#include <string>

class QAudioSource;
class QIODevice;

namespace pagelet {

class MemoWriter;

// Records the default input into a memo through a MemoWriter.
class MemoRecorder : public QObject, public MemoRecording {
    Q_OBJECT
public:
    explicit MemoRecorder(std::u16string memoPath, QObject* parent = nullptr);
    ~MemoRecorder() override;

    Result start() override;
    Result stop() override;
    bool active() const override { return m_source != nullptr; }
    double seconds() const override;
    int level() const override { return m_level; }

private:
    void fail(Result why);
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
