#pragma once
#include "platform/EditControl.h"

#include <functional>

namespace pagelet {

class QtEditControl;

// The edit control built at its first use. Building it lays out text for the first time, which
// sets up the fonts: the costliest part of a start, and one a window can leave until after its
// first paint.
class LateEditControl : public EditControl {
public:
    // setUp runs once the control is in place: what it sets off may already ask the control.
    LateEditControl(std::function<QtEditControl*()> build, std::function<void(QtEditControl&)> setUp)
        : m_build(std::move(build)), m_setUp(std::move(setUp))
    {
    }

    QtEditControl& widget(); // built now when it is not yet
    QtEditControl* built() const { return m_edit; }

    void create(const Rect& area) override;
    void moveTo(const Rect& area) override;
    void setMarginsZero() override;
    int lineCount() override;
    int lineIndex(int line) override;
    Point posFromChar(int index) override;
    void getSelection(int& start, int& end) override;
    void setSelection(int start, int end) override;
    void scrollCaret() override;
    int firstVisibleLine() override;
    void lineScroll(int lines) override;
    void setReadOnly(bool readOnly) override;
    std::u16string text() override;
    void setText(const std::u16string& text) override;
    bool keepsText(std::u16string_view text) override; // known without building the control
    void setFocus() override;
    void showCaret() override;
    void hideCaret() override;
    void setCaretPos(Point at) override;
    void showScrollBar(bool show) override;
    ScrollInfo scrollInfo() override;
    void setScrollPos(int position) override;
    void invalidate() override; // nothing to redraw before it is built
    int scrollBarWidth() override; // the same bar's width, without building the control
    Composition composition() override;
    int textLength() override;
    std::u16string textRange(int start, int end) override;
    Point posOnLine(int index, int line) override;
    void replaceSelection(const std::u16string& s) override;
    Point clientOrigin() override;

private:
    std::function<QtEditControl*()> m_build;
    std::function<void(QtEditControl&)> m_setUp;
    QtEditControl* m_edit = nullptr;
};

} // namespace pagelet
