#pragma once
#include "base/Day.h"

#include <string>

namespace pagelet {

class MonthCalendar;

// The standard buttons' control ids.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// A modal dialog's controls as its logic sees them, addressed by control id. The platform
// builds the controls from the dialog's template and forwards clicks to a DialogHandler.
class DialogView {
public:
    virtual ~DialogView() = default;

    // Edit controls.
    virtual std::u16string itemText(int id) = 0;
    virtual void setItemText(int id, const std::u16string& text) = 0;
    virtual void limitText(int id, int maxChars) = 0; // the edit refuses more

    // Check boxes.
    virtual bool isChecked(int id) = 0;
    virtual void setChecked(int id, bool checked) = 0;

    // Drop-down lists. Entries stay where they are put (no sorting).
    virtual void insertString(int id, int index, const std::u16string& text) = 0; // -1 appends
    virtual int listCount(int id) = 0;
    virtual std::u16string listText(int id, int index) = 0; // empty outside the list
    virtual int currentSelection(int id) = 0;               // -1 when nothing is selected
    virtual void setCurrentSelection(int id, int index) = 0; // outside the list: no selection

    // Multi-line edits: selects stored indices start to end (line breaks count as CR LF) and
    // scrolls the selection into view.
    virtual void selectText(int /*id*/, int /*start*/, int /*end*/) {}

    // A month calendar among the controls; null when there is none with that id.
    virtual MonthCalendar* calendar(int /*id*/) { return nullptr; }

    // Any control.
    virtual void enableItem(int id, bool enabled) = 0;
    virtual void focusItem(int id) = 0;

    // Ends the modal run with OK or Cancel.
    virtual void endDialog(bool ok) = 0;
};

// The logic of one modal dialog; the platform calls it from the dialog's events.
class DialogHandler {
public:
    virtual ~DialogHandler() = default;
    // Before the dialog is shown; true lets the platform focus the first control.
    virtual bool OnInitDialog(DialogView& view) = 0;
    // Button 1 or Enter.
    virtual void OnOK(DialogView& view) = 0;
    // Button 2, Escape or the window's close button.
    virtual void OnCancel(DialogView& view) { view.endDialog(false); }
    // Any other button or check box clicked.
    virtual void OnCommand(DialogView&, int /*id*/) {}
    // An edit's text changed, by typing or by setItemText with a different text.
    virtual void OnEditChange(DialogView&, int /*id*/) {}
    // An edit got or lost the keyboard focus.
    virtual void OnEditFocus(DialogView&, int /*id*/, bool /*gained*/) {}
    // The pen was held still on an edit for a moment (the shell's tap-and-hold).
    virtual void OnHold(DialogView&, int /*id*/) {}
    // A calendar's notifications: the user tapped a day; its selection moved (also into
    // another month, then to a day of the month now shown).
    virtual void OnDayPicked(DialogView&, int /*id*/, const LocalDate& /*day*/) {}
    virtual void OnCalendarSelChange(DialogView&, int /*id*/, const LocalDate& /*day*/) {}
};

} // namespace pagelet
