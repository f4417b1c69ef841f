#pragma once
// The Qt layer: every port over Qt, the widgets that forward their events to the core, the
// dialogs built from their templates, and main().
#include "app/MainDialog.h"
#include "platform/MainWindow.h"
#include "qt/QtCaseFolding.h"
#include "qt/QtDialogs.h"
#include "qt/QtGraphics.h"
#include "qt/QtPlatform.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace pagelet {

class QtEditControl;
class QtMonthCalendar;

// Ports left null are the real ones; tests hand in fakes for what can't run here.
struct WindowOverrides {
    MessageBoxPort* messages = nullptr;
    ProcessExit* exit = nullptr;
    DialogPort* dialogs = nullptr;
    Clock* clock = nullptr;
};

// The main window: forwards paint, pen, calendar and keyboard events to MainDialog.
class PageletWindow : public QWidget, public MainWindowPort {
    Q_OBJECT
public:
    explicit PageletWindow(const WindowOverrides& overrides = WindowOverrides());
    ~PageletWindow() override;

    // Runs the start-up sequence; false when it ended the program.
    bool start();

    MainDialog& dialog() { return *m_dialog; }
    QtMonthCalendar& calendar() { return *m_calendar; }
    QtEditControl& editControl() { return *m_edit; }

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

private:
    void onKeyboardRectangleChanged();

    QtRegistry m_registry;
    QtMessageBox m_messages;
    QtProcessExit m_exit;
    QtClock m_clock;
    QtSoftInputPanel m_softInput;
    QtGraphics m_graphics;
    QtDialogs m_dialogs;
    QtCaseFolding m_caseFolding;
    QtMonthCalendar* m_calendar = nullptr;
    QtEditControl* m_edit = nullptr;
    std::unique_ptr<MainDialog> m_dialog;
    bool m_destroyed = false;

    struct Overlay {
        Rect rect;
        std::function<void(Surface&)> draw;
    };
    std::optional<Overlay> m_overlay;
};

} // namespace pagelet
