#include "qt/QtEditControl.h"

#include "qt/QtGraphics.h"
#include "ui/DiaryEdit.h"

#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>

namespace pagelet {

// Minimal control: the widget draws itself until the self-drawn page lands.
QtEditControl::QtEditControl(QWidget* parent) : QPlainTextEdit(parent)
{
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (m_editor && !signalsBlocked())
            m_editor->OnChange();
    });
}

void QtEditControl::create(const Rect& area)
{
    QPlainTextEdit::setReadOnly(true);
    moveTo(area);
    show();
}

void QtEditControl::moveTo(const Rect& area)
{
    setGeometry(area.left, area.top, area.width(), area.height());
}

void QtEditControl::setMarginsZero() {}
int QtEditControl::lineCount() { return document()->blockCount(); }
int QtEditControl::lineIndex(int) { return 0; }
Point QtEditControl::posFromChar(int) { return {-1, -1}; }

void QtEditControl::getSelection(int& start, int& end)
{
    start = textCursor().selectionStart();
    end = textCursor().selectionEnd();
}

void QtEditControl::setSelection(int start, int end)
{
    QTextCursor c = textCursor();
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void QtEditControl::scrollCaret() { ensureCursorVisible(); }
int QtEditControl::firstVisibleLine() { return verticalScrollBar()->value(); }
void QtEditControl::lineScroll(int lines) { verticalScrollBar()->setValue(verticalScrollBar()->value() + lines); }
void QtEditControl::setReadOnly(bool readOnly) { QPlainTextEdit::setReadOnly(readOnly); }

std::u16string QtEditControl::text()
{
    return fromQString(toPlainText().replace('\n', "\r\n"));
}

void QtEditControl::setText(const std::u16string& text)
{
    const QSignalBlocker block(this);
    setPlainText(toQString(text));
}

void QtEditControl::setFocus() { QPlainTextEdit::setFocus(); }
void QtEditControl::showCaret() {}
void QtEditControl::hideCaret() {}
void QtEditControl::setCaretPos(Point) {}
void QtEditControl::showScrollBar(bool) {}

ScrollInfo QtEditControl::scrollInfo()
{
    const QScrollBar* bar = verticalScrollBar();
    return {bar->minimum(), bar->maximum(), bar->pageStep(), bar->value(), bar->sliderPosition()};
}

void QtEditControl::setScrollPos(int position) { verticalScrollBar()->setValue(position); }
void QtEditControl::invalidate() { viewport()->update(); }
int QtEditControl::scrollBarWidth() { return style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

} // namespace pagelet
