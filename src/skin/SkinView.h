#pragma once
// The skin: skin files and their lines, the loaded Skin and its elements, loading and layout,
// and SkinView, which paints the window from the skin and turns pen taps into commands.
#include "base/Day.h"
#include "skin/Skin.h"

#include <string>

namespace pagelet {

class EditControl;
class EditorRedraw;
class MainWindowPort;
class Surface;

// The window's face: owns the loaded skin and the pressed element, paints and takes the pen.
class SkinView {
public:
    SkinView(MainWindowPort& window, EditControl& edit, EditorRedraw& editor);

    // Paints the skin for day; a day with a memo has its voice button sunk.
    void OnPaint(Surface& window, DayValue day, bool hasMemo);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp();
    // Acts as a tap on the button that sends command (a key or a menu entry): the same
    // command and parameters, or nothing when no such button is enabled. Settings always go,
    // so a skin without buttons is never a dead end. True when the command was sent.
    bool tap(int command);
    // Whether tap(command) would send it now.
    bool canTap(int command) const;

    // Lets go of every picture and element, as the window goes away.
    void release();

    Skin& skin() { return m_skin; }
    const Skin& skin() const { return m_skin; }

private:
    const SkinElement* tapTarget(int command) const;
    // Sends the element's command as a release on it does, and repaints the button.
    void sendFrom(const SkinElement& element);

    MainWindowPort& m_window;
    EditControl& m_edit;
    EditorRedraw& m_editor;
    Skin m_skin;
};

} // namespace pagelet
