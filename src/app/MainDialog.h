#pragma once
#include "base/Day.h"
#include "base/Geometry.h"
#include "settings/Settings.h"
#include "skin/Skin.h"
#include "ui/DiaryEdit.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pagelet {

class Clock;
class DialogPort;
class EditControl;
class Graphics;
class MainWindowPort;
class MessageBoxPort;
class MonthCalendar;
class ProcessExit;
class RegistryPort;
class SoftInputPanel;
class Surface;

// Everything of the platform the main window talks to.
struct MainDialogPorts {
    MainWindowPort& window;
    MessageBoxPort& messages;
    RegistryPort& registry;
    ProcessExit& exit;
    MonthCalendar& calendar;
    EditControl& edit;
    Graphics& graphics;
    Clock& clock;
    DialogPort& dialogs;
    SoftInputPanel& softInput;
};

// The main window's logic: start-up, commands, paint and pen, pages and close-down.
// The platform layer forwards its events to the handlers of the same names.
class MainDialog {
public:
    explicit MainDialog(const MainDialogPorts& ports);
    ~MainDialog();

    // Start-up sequence; false when it ended the process (a fatal exit).
    bool OnInitDialog();
    // Asked before the window goes away; false keeps the window open.
    bool OnClose();
    // Stores the page being written without asking, when the program is ended from outside
    // the window (a signal, the session's end); false when it could not be written.
    bool storeBeforeQuit();
    // Releases the skin when the window goes away.
    void OnDestroy();

    // Command messages of the skin's buttons; always answers 0.
    int onCommand(int command, std::intptr_t wParam, std::intptr_t lParam);

    // The soft input panel moved: on, and its top in client coordinates when known.
    void onSoftInputPanelChanged(bool known, bool on, int panelTop);

    // Paint and pen.
    void OnPaint(Surface& window);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp();

    // Calendar notifications.
    void onDayPicked(const LocalDate& date);
    void onSelectionChanged(const LocalDate& date);
    void onDayStatesRequested();

    // Pages of the shown day.
    bool loadPage(DayValue day);
    bool savePage(DayValue day);
    void showEmptyPage();
    void scanDayMarks();
    // Stores the shown page before it is left; false, after telling the user, when a page
    // with text could not be written (the caller then stays where it is).
    bool storeShownPage();

    // Command handlers.
    void onWeather();
    void onPrevDay();
    void onToday();
    void onNextDay();
    void onCalendar();
    void onSettings();
    void onEdit();
    void onSave();
    void onDelete();
    void onVoice(std::intptr_t wParam);
    void onTimestamp();
    void onFind();

    std::u16string skinFolder() const;
    std::u16string pagePath(DayValue day) const;
    std::u16string memoPath(DayValue day) const;

    // State, named as the rest of the program knows it.
    Skin skin;
    Settings settings;
    std::int32_t weather = 0;
    DiaryEdit editor;
    DayValue selectedDay = 0;
    DayValue previousDay = 0;
    bool calendarVisible = false;

    const MainDialogPorts& ports() const { return m_ports; }

private:
    void fatalExit(const std::u16string& message);
    void fitBackground();
    void createEditor();
    void applyEditorSettings();
    void moveByDays(int days);

    MainDialogPorts m_ports;
};

// Line height from the system font: 6 to 30 pixels, else 14.
int lineHeightFor(int systemFontHeight);

} // namespace pagelet
