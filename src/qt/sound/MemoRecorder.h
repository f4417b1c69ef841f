#pragma once
#include "base/Day.h"
#include "qt/sound/MemoRecording.h"

#include <QIODevice>
#include <QObject>
#include <QPointer>
#include <memory>

class QAudioSource;

namespace pagelet {

class MemoWriter;
class PageStore;

// Records the default input into a day's memo of a store through a MemoWriter.
class MemoRecorder : public QObject, public MemoRecording {
    Q_OBJECT
public:
    MemoRecorder(PageStore& store, const LocalDate& date, QObject* parent = nullptr);
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
    void closeSource();
    void drop();

    PageStore& m_store;
    LocalDate m_date;
    QAudioSource* m_source = nullptr; // a child: deleted later, never inside its own signals
    QPointer<QIODevice> m_input; // the source's own, which it deletes when the server goes
    std::unique_ptr<MemoWriter> m_writer;
    bool m_writeFailed = false;
    bool m_deviceLost = false;
    bool m_failing = false;
    int m_level = 0;
};

} // namespace pagelet
