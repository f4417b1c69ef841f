#include "qt/recorder/RecorderWindow.h"

#include "platform/MessageBox.h"
#include "platform/VoiceRecorder.h"
#include "qt/sound/MemoSoundEngine.h"
#include "qt/graphics/QtGraphics.h"
#include "qt/recorder/SoundModule.h"
#include "qt/graphics/Zoom.h"
#include "store/PageStore.h"
#include "text/Catalogue.h"

#include <QApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace pagelet {

namespace {

QString noInput()
{
    return RecorderWindow::tr("녹음 장치를 찾을 수 없습니다.");
}

QString noOutput()
{
    return RecorderWindow::tr("재생 장치를 찾을 수 없습니다.");
}

QString unplayable()
{
    return RecorderWindow::tr("녹음 파일을 재생할 수 없습니다.");
}

QString notSaved()
{
    return RecorderWindow::tr("녹음을 저장할 수 없습니다.") + u'\n' + QString::fromStdU16String(textOf(TextId::CheckDataFolder));
}

QString minutes(double seconds)
{
    const int s = static_cast<int>(seconds);
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

QIcon recordIcon()
{
    QPixmap dot(16, 16);
    dot.fill(Qt::transparent);
    QPainter p(&dot);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(200, 30, 30));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(2, 2, 12, 12));
    return QIcon(dot);
}

QPushButton* button(QWidget* parent, const QIcon& icon, const QString& text, const QString& tip, const Zoom& zoom)
{
    auto* b = new QPushButton(icon, text, parent);
    b->setToolTip(tip);
    b->setIconSize(QSize(zoom.scaled(16), zoom.scaled(16)));
    // The window takes every key itself: Space plays instead of pressing the focused button.
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    return b;
}

} // namespace

RecorderWindow::RecorderWindow(QWidget* parent, PageStore& store, const LocalDate& date, MessageBoxPort& messages,
                               std::function<void(int)> notify, const Zoom& zoom)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_store(store), m_date(date), m_messages(messages),
      m_notify(std::move(notify)), m_recorder(memoSound().recorder(store, date)), m_player(memoSound().player())
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("Pagelet"));
    setFont(zoom.scaled(font()));
    const QStyle* s = style();
    m_record = button(this, recordIcon(), QString(), tr("녹음 (R)"), zoom);
    m_stop = button(this, s->standardIcon(QStyle::SP_MediaStop), QString(), tr("정지 (S)"), zoom);
    m_play = button(this, s->standardIcon(QStyle::SP_MediaPlay), QString(), tr("재생 (P, Space)"), zoom);
    m_ok = button(this, QIcon(), tr("확인"), tr("녹음을 두고 닫기 (Enter)"), zoom);
    m_cancel = button(this, QIcon(), tr("취소"), tr("닫고 녹음을 지울지 묻기 (Esc)"), zoom);
    // Pictures only: a screen reader needs their words.
    m_record->setAccessibleName(tr("녹음"));
    m_stop->setAccessibleName(tr("정지"));
    m_play->setAccessibleName(tr("재생"));
    m_time = new QLabel(this);
    m_time->setToolTip(tr("지난 시간 / 전체 시간"));
    m_level = new QProgressBar(this);
    m_level->setRange(0, 100);
    m_level->setTextVisible(false);
    m_level->setFixedHeight(6);
    m_level->setToolTip(tr("녹음 소리 크기"));
    m_level->setAccessibleName(tr("녹음 소리 크기"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setSpacing(4);
    grid->addWidget(m_record, 0, 0);
    grid->addWidget(m_stop, 0, 1);
    grid->addWidget(m_play, 0, 2);
    grid->addWidget(m_time, 0, 3, Qt::AlignCenter);
    grid->addWidget(m_level, 1, 0, 1, 4);
    grid->addWidget(m_ok, 2, 0, 1, 2);
    grid->addWidget(m_cancel, 2, 2, 1, 2);

    m_ticker = new QTimer(this);
    m_ticker->setInterval(100);
    connect(m_ticker, &QTimer::timeout, this, &RecorderWindow::refresh);
    connect(m_record, &QPushButton::clicked, this, &RecorderWindow::record);
    connect(m_stop, &QPushButton::clicked, this, &RecorderWindow::stop);
    connect(m_play, &QPushButton::clicked, this, &RecorderWindow::play);
    connect(m_ok, &QPushButton::clicked, this, &RecorderWindow::accept);
    connect(m_cancel, &QPushButton::clicked, this, &RecorderWindow::reject);
    m_player->finished = [this](bool deviceFailed) { onPlayed(deviceFailed); };
    // A write that failed is told by the stop; a lost device keeps what came before it.
    m_recorder->failed = [this](MemoRecording::Result why) {
        stop();
        if (why == MemoRecording::Result::NoDevice)
            tell(noInput());
    };
    // Ending the program mid-recording keeps what was recorded, as a stop would.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &RecorderWindow::stop);
    refresh();
}

RecorderWindow::~RecorderWindow()
{
    // Stopping them as they go must not call back into a window that is going.
    m_player->finished = nullptr;
    m_recorder->failed = nullptr;
}

void RecorderWindow::showAt(const QPoint& globalPos)
{
    adjustSize();
    QRect r(globalPos, size());
    const QScreen* screen = QGuiApplication::screenAt(globalPos);
    if (!screen && parentWidget())
        screen = parentWidget()->screen();
    if (screen) {
        const QRect avail = screen->availableGeometry();
        r.moveLeft(std::max(avail.left(), std::min(r.left(), avail.right() + 1 - r.width())));
        r.moveTop(std::max(avail.top(), std::min(r.top(), avail.bottom() + 1 - r.height())));
    }
    // A Wayland window cannot place itself: as a popup of the diary it is placed relative to it.
    // A popup holds the application's input already; kept modal, its keys would be dropped on a
    // compositor that leaves the keyboard with the diary (weston does).
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        setWindowModality(Qt::NonModal);
        setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    }
    move(r.topLeft());
    show();
    raise();
    activateWindow();
}

bool RecorderWindow::recording() const
{
    return m_recorder->active();
}

bool RecorderWindow::playing() const
{
    return m_player->active();
}

void RecorderWindow::tell(const QString& text)
{
    m_messages.show(text.toStdU16String(), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
}

void RecorderWindow::record()
{
    if (recording() || playing())
        return;
    const auto started = m_recorder->start();
    if (started != MemoRecording::Result::Ok) {
        tell(started == MemoRecording::Result::NoDevice ? noInput() : notSaved());
        return;
    }
    m_ticker->start();
    refresh();
}

void RecorderWindow::stop()
{
    if (recording()) {
        const auto kept = m_recorder->stop();
        m_totalKnown = false;
        refresh();
        if (kept != MemoRecording::Result::Ok)
            tell(notSaved());
    }
    if (playing())
        m_player->stop();
    m_ticker->stop();
    refresh();
}

std::optional<Bytes> RecorderWindow::memo() const
{
    return m_store.hasMemo(m_date) ? m_store.readMemo(m_date, kMemoReadLimit) : std::nullopt;
}

void RecorderWindow::play()
{
    if (recording() || playing() || !m_store.hasMemo(m_date))
        return;
    // A memo there that can't be read (damaged, sealed with another key) is as unplayable as a
    // damaged sound.
    const auto bytes = memo();
    const auto started = bytes ? m_player->start(*bytes) : MemoPlayback::Result::Unplayable;
    if (started != MemoPlayback::Result::Ok) {
        tell(started == MemoPlayback::Result::NoDevice ? noOutput() : unplayable());
        refresh();
        return;
    }
    m_ticker->start();
    refresh();
}

void RecorderWindow::onPlayed(bool deviceFailed)
{
    m_ticker->stop();
    refresh();
    if (deviceFailed)
        tell(noOutput());
}

void RecorderWindow::accept()
{
    finish(kRecorderClosedOk);
}

void RecorderWindow::reject()
{
    finish(kRecorderClosedCancel);
}

// A recording under way is finished and kept before the window goes.
void RecorderWindow::finish(int code)
{
    if (m_closing)
        return;
    m_closing = true;
    stop();
    hide();
    setResult(code == kRecorderClosedOk ? Accepted : Rejected);
    if (m_notify)
        m_notify(code);
    deleteLater();
}

void RecorderWindow::refresh()
{
    const bool busy = recording() || playing();
    const bool hasMemo = m_store.hasMemo(m_date);
    m_record->setEnabled(!busy);
    m_stop->setEnabled(busy);
    m_play->setEnabled(!busy && hasMemo);
    m_level->setValue(recording() ? m_recorder->level() : 0);
    if (!busy && !m_totalKnown) {
        const auto bytes = hasMemo ? memo() : std::nullopt;
        m_total = bytes ? memoSound().seconds(*bytes).value_or(0.0) : 0.0;
        m_totalKnown = true;
    }
    m_time->setText(timeText());
}

QString RecorderWindow::timeText() const
{
    if (recording())
        return minutes(m_recorder->seconds()) + QStringLiteral(" / ") + minutes(m_recorder->seconds());
    if (playing())
        return minutes(m_player->seconds()) + QStringLiteral(" / ") + minutes(m_player->total());
    return minutes(0) + QStringLiteral(" / ") + minutes(m_total);
}

void RecorderWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_R: record(); break;
    case Qt::Key_S: stop(); break;
    case Qt::Key_P:
    case Qt::Key_Space: play(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: accept(); break;
    case Qt::Key_Escape: reject(); break;
    default: QDialog::keyPressEvent(event); return;
    }
    event->accept();
}

void RecorderWindow::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // Without a title bar the window needs an edge of its own against the page below.
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace pagelet
