#include "qt/editor/LateEditControl.h"

#include "qt/editor/QtEditControl.h"

#include <QScrollBar>

namespace pagelet {

QtEditControl& LateEditControl::widget()
{
    if (!m_edit) {
        m_edit = m_build();
        m_setUp(*m_edit);
    }
    return *m_edit;
}

void LateEditControl::invalidate()
{
    if (m_edit)
        m_edit->invalidate();
}

int LateEditControl::scrollBarWidth()
{
    if (m_edit)
        return m_edit->scrollBarWidth();
    return QScrollBar(Qt::Vertical).sizeHint().width();
}

void LateEditControl::create(const Rect& area) { widget().create(area); }
void LateEditControl::moveTo(const Rect& area) { widget().moveTo(area); }
void LateEditControl::setMarginsZero() { widget().setMarginsZero(); }
int LateEditControl::lineCount() { return widget().lineCount(); }
int LateEditControl::lineIndex(int line) { return widget().lineIndex(line); }
Point LateEditControl::posFromChar(int index) { return widget().posFromChar(index); }
void LateEditControl::getSelection(int& start, int& end) { widget().getSelection(start, end); }
void LateEditControl::setSelection(int start, int end) { widget().setSelection(start, end); }
void LateEditControl::scrollCaret() { widget().scrollCaret(); }
int LateEditControl::firstVisibleLine() { return widget().firstVisibleLine(); }
void LateEditControl::lineScroll(int lines) { widget().lineScroll(lines); }
void LateEditControl::setReadOnly(bool readOnly) { widget().setReadOnly(readOnly); }
std::u16string LateEditControl::text() { return widget().text(); }
void LateEditControl::setText(const std::u16string& text) { widget().setText(text); }
bool LateEditControl::keepsText(std::u16string_view text) { return QtEditControl::keepsAsIs(text); }
void LateEditControl::setFocus() { widget().setFocus(); }
void LateEditControl::showCaret() { widget().showCaret(); }
void LateEditControl::hideCaret() { widget().hideCaret(); }
void LateEditControl::setCaretPos(Point at) { widget().setCaretPos(at); }
void LateEditControl::showScrollBar(bool show) { widget().showScrollBar(show); }
ScrollInfo LateEditControl::scrollInfo() { return widget().scrollInfo(); }
void LateEditControl::setScrollPos(int position) { widget().setScrollPos(position); }
Composition LateEditControl::composition() { return widget().composition(); }
int LateEditControl::textLength() { return widget().textLength(); }
std::u16string LateEditControl::textRange(int start, int end) { return widget().textRange(start, end); }
Point LateEditControl::posOnLine(int index, int line) { return widget().posOnLine(index, line); }
void LateEditControl::replaceSelection(const std::u16string& s) { widget().replaceSelection(s); }
Point LateEditControl::clientOrigin() { return widget().clientOrigin(); }

} // namespace pagelet
