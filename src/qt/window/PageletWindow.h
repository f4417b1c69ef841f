#pragma once
// The main window: it owns the ports over Qt and the zoom, and forwards its events to the core.
#include "app/MainDialog.h"
#include "platform/MainWindow.h"
#include "qt/dialogs/LazyMonthCalendar.h"
#include "qt/ports/QtCaseFolding.h"
#include "qt/dialogs/QtDialogs.h"
#include "qt/editor/LateEditControl.h"
#include "qt/graphics/QtGraphics.h"
#include "qt/graphics/Zoom.h"
#include "qt/ports/QtPlatform.h"
#include "qt/recorder/QtVoiceRecorder.h"
#include "qt/window/FolderWatch.h"

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace pagelet {

class QtEditControl;
class QtMonthCalendar;
class WindowMenu;

// Ports left null are the real ones; tests hand in fakes for what can't run here.
struct WindowOverrides {
    MessageBoxPort* messages = nullptr;
    ProcessExit* exit = nullptr;
    DialogPort* dialogs = nullptr;
    Clock* clock = nullptr;
    VoiceRecorderPort* recorder = nullptr;
};

// The main window: forwards paint, pen, calendar and keyboard events to MainDialog.
class PageletWindow : public QWidget, public MainWindowPort {
    Q_OBJECT
public:
    explicit PageletWindow(const WindowOverrides& overrides = WindowOverrides());
    ~PageletWindow() override;

    // Runs the start-up sequence; false when it ended the program.
    bool start();
    // The same, leaving the editor and the page's text until the window's first paint has been
    // shown, and the folder's sweep, the day marks and the crash journal's question until the
    // page's has; a key, click or close before then finds all of it done: the window is up sooner.
    bool startPaintingFirst();
    // The rest of a start begun by startPaintingFirst, now (nothing when it is done).
    void finishStart();

    MainDialog& dialog() { return *m_dialog; }
    QtMonthCalendar& calendar() { return m_calendar.widget(); }
    QtEditControl& editControl() { return m_edit.widget(); }
    bool editorBuilt() const { return m_edit.built() != nullptr; }
    QtVoiceRecorder& recorder() { return m_recorder; }
    WindowMenu& menu();

    // Scales the window and all it holds to percent (a zoom step) and keeps it as "Zoom".
    void zoomTo(int percent);
    const Zoom& zoom() const { return m_zoom; }

    // A left click at (x, y) at 100 %: how a screen reader presses a drawn button.
    void clickAt(int x, int y);

    Size clientSize() override;
    void invalidate() override;
    void invalidate(const Rect& rect) override;
    void drawNow(const Rect& rect, const std::function<void(Surface&)>& draw) override;
    int sendCommand(int command, std::intptr_t wParam, std::intptr_t lParam) override;

    static constexpr int kClientWidth = 240;
    static constexpr int kClientHeight = 270;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onKeyboardRectangleChanged();
    void applyZoom();
    void fitZoomToScreen();
    bool tap(int command);
    void commitComposition();
    void popupMenu(const QPoint& at);
    // A change of the page reaches the crash journal a second later, however fast the typing.
    void journalSoon();
    void setUpEditor(QtEditControl& edit);
    bool beginStart();
    void showStartPage();
    // The window and the page named after the shown day, and the drawn parts' changes told.
    void tellScreenReader();
    void namePage(QtEditControl& edit);

    // First: the members after it keep a reference to it.
    Zoom m_zoom;
    QtRegistry m_registry;
    QtMessageBox m_messages {m_zoom};
    QtProcessExit m_exit;
    QtClock m_clock;
    QtSoftInputPanel m_softInput;
    QtGraphics m_graphics {m_zoom};
    QtDialogs m_dialogs {m_zoom};
    QtVoiceRecorder m_recorder;
    QtCaseFolding m_caseFolding;
    LazyMonthCalendar m_calendar {this, m_zoom};
    LateEditControl m_edit;
    WindowMenu* m_menu = nullptr;
    std::unique_ptr<MainDialog> m_dialog;
    FolderWatch* m_watch = nullptr;
    QTimer* m_journalTimer = nullptr;
    bool m_destroyed = false;
    bool m_begun = false;
    std::optional<DayValue> m_namedDay;
    enum class AfterPaint { Nothing, ShowPage, Settle };
    AfterPaint m_afterPaint = AfterPaint::Nothing;

    struct Overlay {
        Rect rect;
        std::function<void(Surface&)> draw;
    };
    std::optional<Overlay> m_overlay;
};

} // namespace pagelet
