#include "ui/DiaryEdit.h"

#include "app/SoftKeyboard.h"
#include "platform/EditControl.h"
#include "platform/Graphics.h"

namespace pagelet {

// Minimal editor until the self-drawn page lands: the control draws itself.
DiaryEdit::DiaryEdit(EditControl& control, Graphics& graphics) : m_control(control), m_graphics(graphics) {}
DiaryEdit::~DiaryEdit() = default;

void DiaryEdit::create(const Rect& a)
{
    area = a;
    scrollBarWidth = m_control.scrollBarWidth();
    m_control.create(area);
    m_control.setFocus();
    setEditable(true);
}

bool DiaryEdit::setText(const std::u16string& s)
{
    text = s;
    m_control.setText(s);
    lineCount = m_control.lineCount();
    needsRedraw = true;
    return true;
}

bool DiaryEdit::insertText(const std::u16string& s)
{
    int start = 0, end = 0;
    m_control.getSelection(start, end);
    text = m_control.text();
    text = text.substr(0, start) + s + text.substr(end);
    m_control.setText(text);
    m_control.setSelection(start + int(s.size()), start + int(s.size()));
    lineCount = m_control.lineCount();
    return true;
}

bool DiaryEdit::showCaret(bool show)
{
    m_control.setFocus();
    if (show && !caretShown) {
        m_control.showCaret();
        caretShown = true;
    } else if (!show && caretShown) {
        m_control.hideCaret();
        caretShown = false;
    }
    return true;
}

bool DiaryEdit::setEditable(bool edit)
{
    m_control.setFocus();
    m_control.setReadOnly(!edit);
    if (edit != editable) {
        editable = edit;
        showCaret(edit);
        if (autoKeyboard)
            showSoftKeyboard(edit);
    }
    needsRedraw = true;
    m_control.invalidate();
    return true;
}

bool DiaryEdit::relayout()
{
    needsRedraw = true;
    m_control.invalidate();
    return true;
}

void DiaryEdit::OnPaint(Surface&) {}
void DiaryEdit::CtlColor() {}

void DiaryEdit::OnChange()
{
    text = m_control.text();
    lineCount = m_control.lineCount();
    saved = false;
}

void DiaryEdit::OnVScroll(int, int) {}
void DiaryEdit::OnLButtonDown() {}
void DiaryEdit::OnKeyDown(int) {}

} // namespace pagelet
