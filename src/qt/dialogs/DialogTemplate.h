#pragma once
#include <QRect>
#include <QString>
#include <vector>

namespace pagelet {

class Zoom;

enum class ControlKind {
    Edit,
    PasswordEdit,
    ReadOnlyText, // multi-line, read-only, with a vertical scroll bar
    Label,
    Button,
    DefaultButton,
    CheckBox,
    DropDownList,
    Calendar, // a month calendar, shown
    Icon,
    Picture,
};

// One control of a dialog template; position and size in dialog units.
struct ControlTemplate {
    int id; // 0 for controls the logic never addresses
    ControlKind kind;
    const char* text; // UTF-8, shown through dialogText
    int x, y, width, height;
    int names = 0; // a label: the id of the field it names, for screen readers
};

// A dialog laid out in dialog units; the controls in tab order.
struct DialogTemplate {
    int id;              // the id its logic is run with
    const char* caption; // UTF-8
    int width, height;
    std::vector<ControlTemplate> controls;
};

// The dialogs are as large as the main window: 137 x 153 units make 240 x 270 pixels.
QRect dialogUnitsToPixels(const Zoom& zoom, int x, int y, int width, int height);

// A caption or control text of a template as shown: its source through Qt's translators.
QString dialogText(const char* text);

// The template with that id, or null.
const DialogTemplate* dialogTemplate(int id);

} // namespace pagelet
