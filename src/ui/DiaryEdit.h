#pragma once
// The editor side of the window: DiaryEdit (the page over its paper), the time stamp and
// its formats, and the settings dialog's logic.
#include "base/Color.h"
#include "base/Geometry.h"
#include "platform/EditorRedraw.h"
#include "platform/EditControl.h"
#include "ui/LineGrid.h"
#include "ui/PageText.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pagelet {

class Bitmap;
class EditControl;
class Graphics;
class SoftKeyboard;
class Surface;

struct SelectionRect {
    SelectionRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) : left(l), top(t), right(r), bottom(b) {}
    virtual ~SelectionRect() = default;
    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    std::int32_t left, top, right, bottom;
};

// What the scroll bar asks for, as OnVScroll receives it.
enum ScrollCode : int {
    ScrollLineUp = 0,
    ScrollLineDown = 1,
    ScrollPageUp = 2,
    ScrollPageDown = 3,
    ScrollThumbPosition = 4, // the box was let go
    ScrollThumbTrack = 5,    // the box is being dragged
};

// The page editor: an edit control whose page is drawn over the paper picture. The control
// keeps the text, the caret, the selection and its own scrolling; the editor draws every pixel.
class DiaryEdit : public EditorRedraw {
public:
    DiaryEdit(EditControl& control, Graphics& graphics, SoftKeyboard& keyboard);
    ~DiaryEdit();
    DiaryEdit(const DiaryEdit&) = delete;
    DiaryEdit& operator=(const DiaryEdit&) = delete;

    // The owner's set-up: create the control over area (read-only), then setEditable(true).
    void create(const Rect& area);

    bool setText(const std::u16string& s);
    // Whether text reads back as s after setText(s).
    bool keepsText(std::u16string_view s) const;
    // s in place of the selection, the caret after it; the page counts as changed.
    bool insertText(const std::u16string& s);
    bool showCaret(bool show);
    bool setEditable(bool edit);
    bool relayout();
    void redrawPage() override { needsRedraw = true; }

    // Handlers the platform forwards.
    void OnPaint(Surface& screen);
    void CtlColor();
    void OnChange();
    void OnVScroll(int code, int position);
    void OnLButtonDown();
    void OnKeyDown(int key);
    // The control moved its view by itself (to the caret, by a drag, after a refill).
    void OnControlScrolled();
    // The control's inner size changed, so its lines may wrap differently.
    void OnControlResized();

    // Acts only when the state differs from scrollBarShown.
    bool showScrollBar(bool show);
    // Where character index lies in the control's client pixels; (-1, -1) past the end.
    Point posFromChar(int index);
    // The last composed page (for the platform to restore what a blinking caret covered).
    const Surface* picture() const { return m_offscreen.get(); }
    // The rows the page is drawn on, for the control to place its caret and taps on.
    LineGrid grid() const { return LineGrid(lineHeight); }

    std::vector<std::unique_ptr<SelectionRect>> selectionRects;
    Rect area;
    Rect lineRect;
    const std::unique_ptr<Bitmap>* background = nullptr; // the main window's, not owned
    PageText text;
    std::int32_t firstLine = 0;
    std::int32_t lineCount = 0;
    std::int32_t lastLineCount = 0;
    std::int32_t scrollBarWidth = 0;
    bool caretShown = true;
    bool editable = true;
    bool scrollBarShown = false;
    Color editTextColor = 0x000000;
    Color viewTextColor = 0x707070;
    bool needsRedraw = true;
    bool autoKeyboard = true;
    bool saved = true;
    std::int32_t lineHeight = 14;

private:
    int wholeRows() const { return grid().wholeRows(area.height()); }
    int partialRows() const { return grid().partialRows(area.height()); }
    void alignControl();
    void repaint();
    void buildSelectionRects();
    void drawLines(Surface& page, const Composition& composing);
    void markComposition(Surface& page, const Composition& composing, Point under);

    EditControl& m_control;
    Graphics& m_graphics;
    SoftKeyboard& m_keyboard;
    std::unique_ptr<Surface> m_offscreen;
    bool m_changingScrollBar = false;
};

} // namespace pagelet
