#pragma once
#include "base/Geometry.h"

#include <string>
#include <string_view>
#include <vector>

namespace pagelet {

// Text an input method is still composing: shown at stored index at, not yet part of the text.
struct Composition {
    // A stretch of it on one visual line that the input method asks to have marked, in the
    // control's client pixels (as posOnLine gives them).
    struct Mark {
        int line = 0;
        int left = 0;
        int right = 0;
        bool underline = false;
        bool highlight = false; // drawn inside out, as a selection
    };
    std::u16string text;
    int at = -1;
    std::vector<Mark> marks;
};

// The vertical scroll bar in lines: maximum is the last line, page the lines that fit, so the
// first shown line goes from minimum to maximum - page + 1.
struct ScrollInfo {
    int minimum = 0;
    int maximum = 0;
    int page = 0;
    int position = 0;
    int trackPosition = 0;
};

// A multi-line edit control. A "line" is a visual line as the user sees it (wrapped lines
// count); character indices are indices into the text as stored, line breaks being CR LF.
class EditControl {
public:
    virtual ~EditControl() = default;
    virtual void create(const Rect& area) = 0; // child of the main window, read-only at first
    virtual void moveTo(const Rect& area) = 0;
    virtual void setMarginsZero() = 0;
    virtual int lineCount() = 0;
    virtual int lineIndex(int line) = 0; // -1 for a line that doesn't exist
    virtual Point posFromChar(int index) = 0; // (-1, -1) past the last character
    virtual void getSelection(int& start, int& end) = 0;
    virtual void setSelection(int start, int end) = 0;
    virtual void scrollCaret() = 0;
    virtual int firstVisibleLine() = 0;
    virtual void lineScroll(int lines) = 0;
    virtual void setReadOnly(bool readOnly) = 0;
    virtual std::u16string text() = 0;
    virtual void setText(const std::u16string& text) = 0;
    // Whether text() gives text back unchanged after setText(text); false when unsure.
    virtual bool keepsText(std::u16string_view /*text*/) { return false; }
    virtual void setFocus() = 0;
    virtual void showCaret() = 0;
    virtual void hideCaret() = 0;
    virtual void setCaretPos(Point at) = 0;
    virtual void showScrollBar(bool show) = 0;
    virtual ScrollInfo scrollInfo() = 0;
    virtual void setScrollPos(int position) = 0;
    virtual void invalidate() = 0; // repaint the whole control without erasing
    virtual int scrollBarWidth() = 0; // the system's vertical scroll bar width
    virtual Composition composition() { return {}; } // none unless an input method is composing

    // Cheaper forms a control may give of what the calls above already tell.
    virtual int textLength() { return static_cast<int>(text().size()); }
    virtual std::u16string textRange(int start, int end);
    // Where index lies on visual line `line`: the end of a wrapped line and the start of the
    // next are the same index but different places.
    virtual Point posOnLine(int index, int /*line*/) { return posFromChar(index); }
    // Puts s in place of the selection as one edit the user can undo; the caret follows s.
    virtual void replaceSelection(const std::u16string& s);
    // Where the client pixels start inside the control's area: its frame's width.
    virtual Point clientOrigin() { return {0, 0}; }
};

} // namespace pagelet
