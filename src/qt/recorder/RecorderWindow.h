#pragma once
#include "base/ByteIo.h"
#include "base/Day.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace pagelet {

class Zoom;

class MemoPlayback;
class MemoRecording;
class MessageBoxPort;
class PageStore;

// The voice recorder: a small modal window without a title bar that records into and plays
// one day's memo of a store, and reports how it was closed (OK or Cancel) through notify.
class RecorderWindow : public QDialog {
    Q_OBJECT
public:
    // Shown at zoom.
    RecorderWindow(QWidget* parent, PageStore& store, const LocalDate& date, MessageBoxPort& messages,
                   std::function<void(int)> notify, const Zoom& zoom);
    ~RecorderWindow() override;

    // Shows the window with its top-left corner at globalPos, moved just enough to stay on screen.
    void showAt(const QPoint& globalPos);

    void record();
    void stop();
    void play();
    void accept() override;
    void reject() override;

    bool recording() const;
    bool playing() const;
    QString timeText() const;
    const MemoPlayback& player() const { return *m_player; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void finish(int code);
    void tell(const QString& text);
    void refresh();
    void onPlayed(bool deviceFailed);
    std::optional<Bytes> memo() const;

    PageStore& m_store;
    LocalDate m_date;
    MessageBoxPort& m_messages;
    std::function<void(int)> m_notify;
    std::unique_ptr<MemoRecording> m_recorder;
    std::unique_ptr<MemoPlayback> m_player;
    QPushButton *m_record, *m_stop, *m_play, *m_ok, *m_cancel;
    QLabel* m_time;
    QProgressBar* m_level;
    QTimer* m_ticker;
    double m_total = 0; // of the memo as it is
    bool m_totalKnown = false; // until a recording ends: reading a sealed memo means opening it
    bool m_closing = false;
};

} // namespace pagelet
