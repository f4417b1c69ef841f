#include "qt/QtEditControl.h"

#include "qt/QtGraphics.h"
#include "ui/DiaryEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace pagelet {

QtEditControl::QtEditControl(QWidget* parent) : QPlainTextEdit(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain); // a thin border
    setLineWidth(1);
    // Text starts where the page draws it: kInset in from the left and the top.
    document()->setDocumentMargin(DiaryEdit::kInset);
    setTabChangesFocus(true);
    // A bar of our own: the stock one pages by its own rule before OnVScroll could decide.
    setVerticalScrollBar(new QScrollBar(Qt::Vertical, this));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The page covers every pixel; never erase first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);

    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        m_layoutDirty = true;
        if (!m_editor || m_settingText)
            return;
        // The editor reads the scroll position as the control's answer to the edit.
        ensureLayout();
        ensureCursorVisible();
        m_editor->OnChange();
    });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &QtEditControl::colourRequest);
    connect(this, &QPlainTextEdit::selectionChanged, this, &QtEditControl::colourRequest);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, &QtEditControl::onScrollAction);
    // The widget moves its bar with the bar's signals blocked when it follows the caret;
    // its update request comes all the same.
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, this, &QtEditControl::followView);
    connect(this, &QPlainTextEdit::updateRequest, this, &QtEditControl::followView);
    connect(document(), &QTextDocument::contentsChange, this, [this] { m_layoutDirty = true; });
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::update, this,
            [this] { m_layoutDirty = true; });
}

// Paragraphs are laid out lazily; until all are, the visual line count is wrong.
void QtEditControl::ensureLayout()
{
    if (!m_layoutDirty)
        return;
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        layout->blockBoundingRect(b);
    m_layoutDirty = false;
}

int QtEditControl::lineSpacing() const
{
    const int spacing = m_editor ? m_editor->lineHeight : fontMetrics().height();
    return std::max(spacing, 1);
}

// Where the page draws visual line `line`: on the editor's grid below the first shown line.
int QtEditControl::drawnTop(int line) const
{
    return DiaryEdit::kInset + (line - verticalScrollBar()->value()) * lineSpacing();
}

// Where the widget's own layout has it (it drops the top margin once scrolled).
int QtEditControl::layoutTop(int line)
{
    const QTextBlock b = document()->findBlockByLineNumber(line);
    const QTextLine l = b.layout()->lineAt(line - b.firstLineNumber());
    return static_cast<int>(std::floor(blockBoundingGeometry(b).translated(contentOffset()).top() + l.y()));
}

int QtEditControl::storedLength() const
{
    return document()->characterCount() + document()->blockCount() - 2;
}

// Each paragraph break before a position stands for CR LF, one unit more than the widget's.
int QtEditControl::storedFromWidget(int position) const
{
    const QTextBlock b = document()->findBlock(position);
    return position + (b.isValid() ? b.blockNumber() : document()->blockCount() - 1);
}

int QtEditControl::widgetFromStored(int index) const
{
    const QTextDocument* doc = document();
    int low = 0;
    int high = doc->blockCount() - 1;
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (doc->findBlockByNumber(mid).position() + mid <= index)
            low = mid;
        else
            high = mid - 1;
    }
    const QTextBlock b = doc->findBlockByNumber(low);
    // The LF of a break lands at the end of its paragraph, like the CR.
    return b.position() + std::clamp(index - (b.position() + low), 0, b.length() - 1);
}

// A paragraph's layout holds the composition inside its text; document offsets skip it.
int QtEditControl::layoutFromOffset(const QTextBlock& block, int offset)
{
    const QTextLayout* layout = block.layout();
    const int length = static_cast<int>(layout->preeditAreaText().size());
    return length > 0 && offset >= layout->preeditAreaPosition() ? offset + length : offset;
}

int QtEditControl::offsetFromLayout(const QTextBlock& block, int position)
{
    const QTextLayout* layout = block.layout();
    const int at = layout->preeditAreaPosition();
    const int length = static_cast<int>(layout->preeditAreaText().size());
    if (length == 0 || position < at)
        return position;
    return position >= at + length ? position - length : at;
}

QRect QtEditControl::caretRectAt(const QTextBlock& block, int layoutPosition)
{
    const QTextLine l = block.layout()->lineForTextPosition(layoutPosition);
    if (!l.isValid())
        return {};
    const int x = static_cast<int>(std::lround(l.cursorToX(layoutPosition) + contentOffset().x()));
    return {x, drawnTop(block.firstLineNumber() + l.lineNumber()), cursorWidth(), lineSpacing()};
}

QRect QtEditControl::caretRect()
{
    if (!m_caretShown || isReadOnly() || !hasFocus())
        return {};
    const QAbstractTextDocumentLayout::PaintContext context = getPaintContext();
    if (context.cursorPosition == -1)
        return {}; // blinked off
    ensureLayout();
    if (context.cursorPosition < -1) { // inside the text being composed
        const QTextBlock block = textCursor().block();
        return caretRectAt(block, block.layout()->preeditAreaPosition() - (context.cursorPosition + 2));
    }
    const QTextBlock block = document()->findBlock(context.cursorPosition);
    return caretRectAt(block, context.cursorPosition - block.position());
}

// A point on the drawn page to the same place in the widget's layout.
QPointF QtEditControl::toControl(QPointF drawn)
{
    ensureLayout();
    const int count = document()->lineCount();
    const int spacing = lineSpacing();
    const qreal y = std::max<qreal>(drawn.y() - DiaryEdit::kInset, 0);
    const int row = static_cast<int>(y / spacing);
    const qreal within = y - row * spacing;
    const int line = verticalScrollBar()->value() + row;
    if (line < count) {
        const QTextBlock b = document()->findBlockByLineNumber(line);
        const qreal height = b.layout()->lineAt(line - b.firstLineNumber()).height();
        return {drawn.x(), layoutTop(line) + std::min(within, height - 0.5)};
    }
    return {drawn.x(), drawn.y() - drawnTop(count) + layoutTop(count - 1) + spacing};
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

// The page draws its lines kInset pixels in, so the text keeps that inset under them.
void QtEditControl::setMarginsZero() {}

int QtEditControl::lineCount()
{
    ensureLayout();
    return document()->lineCount();
}

int QtEditControl::lineIndex(int line)
{
    ensureLayout();
    if (line < 0 || line >= document()->lineCount())
        return -1;
    const QTextBlock b = document()->findBlockByLineNumber(line);
    const QTextLine l = b.layout()->lineAt(line - b.firstLineNumber());
    return b.position() + offsetFromLayout(b, l.textStart()) + b.blockNumber();
}

Point QtEditControl::posFromChar(int index)
{
    ensureLayout();
    if (index < 0 || index > storedLength())
        return {-1, -1};
    const int position = widgetFromStored(index);
    const QTextBlock b = document()->findBlock(position);
    const QRect r = caretRectAt(b, layoutFromOffset(b, position - b.position()));
    if (r.isNull())
        return {-1, -1};
    return {r.x(), r.y()};
}

void QtEditControl::getSelection(int& start, int& end)
{
    const QTextCursor c = textCursor();
    start = storedFromWidget(c.selectionStart());
    end = storedFromWidget(c.selectionEnd());
}

void QtEditControl::setSelection(int start, int end)
{
    const int length = storedLength();
    QTextCursor c = textCursor();
    c.setPosition(widgetFromStored(std::clamp(start, 0, length)));
    c.setPosition(widgetFromStored(std::clamp(end, 0, length)), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void QtEditControl::scrollCaret()
{
    ensureLayout();
    ensureCursorVisible();
}

int QtEditControl::firstVisibleLine()
{
    return verticalScrollBar()->value();
}

void QtEditControl::lineScroll(int lines)
{
    ensureLayout();
    if (lines != 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + lines);
}

void QtEditControl::setReadOnly(bool readOnly)
{
    QPlainTextEdit::setReadOnly(readOnly);
}

// Blocks' own text, not toPlainText(), which turns no-break spaces into spaces.
std::u16string QtEditControl::text()
{
    std::u16string out;
    out.reserve(static_cast<std::size_t>(storedLength()));
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        if (b.blockNumber() > 0)
            out += u"\r\n";
        const QString t = b.text();
        out.append(reinterpret_cast<const char16_t*>(t.utf16()), static_cast<std::size_t>(t.size()));
    }
    return out;
}

void QtEditControl::setText(const std::u16string& text)
{
    m_settingText = true;
    setPlainText(toQString(text)); // CR LF, CR and LF each make one break
    m_settingText = false;
    m_layoutDirty = true;
}

void QtEditControl::setFocus()
{
    QWidget::setFocus(Qt::OtherFocusReason);
}

void QtEditControl::showCaret()
{
    m_caretShown = true;
    viewport()->update();
}

void QtEditControl::hideCaret()
{
    m_caretShown = false;
    viewport()->update();
}

void QtEditControl::setCaretPos(Point at)
{
    setTextCursor(cursorForPosition(toControl(QPointF(at.x, at.y)).toPoint()));
}

void QtEditControl::showScrollBar(bool show)
{
    setVerticalScrollBarPolicy(show ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    m_layoutDirty = true;
}

// The widget's bar runs to the last possible first line; ours, like the page, to the last line.
ScrollInfo QtEditControl::scrollInfo()
{
    ensureLayout();
    const QScrollBar* bar = verticalScrollBar();
    const int page = bar->pageStep();
    return {bar->minimum(), bar->maximum() + std::max(page, 1) - 1, page, bar->value(), bar->sliderPosition()};
}

void QtEditControl::setScrollPos(int position)
{
    ensureLayout();
    verticalScrollBar()->setValue(position);
}

void QtEditControl::invalidate()
{
    viewport()->update();
}

int QtEditControl::scrollBarWidth()
{
    return verticalScrollBar()->sizeHint().width();
}

Composition QtEditControl::composition()
{
    const QTextBlock block = textCursor().block();
    if (!block.isValid() || !block.layout())
        return {};
    const QString composing = block.layout()->preeditAreaText();
    if (composing.isEmpty())
        return {};
    return {fromQString(composing), storedFromWidget(block.position() + block.layout()->preeditAreaPosition())};
}

void QtEditControl::followView()
{
    if (m_editor)
        m_editor->OnControlScrolled();
}

void QtEditControl::colourRequest()
{
    if (m_editor && !m_settingText)
        m_editor->CtlColor();
}

void QtEditControl::onScrollAction(int action)
{
    int code = -1;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: code = ScrollLineUp; break;
    case QAbstractSlider::SliderSingleStepAdd: code = ScrollLineDown; break;
    case QAbstractSlider::SliderPageStepSub: code = ScrollPageUp; break;
    case QAbstractSlider::SliderPageStepAdd: code = ScrollPageDown; break;
    case QAbstractSlider::SliderMove: code = ScrollThumbTrack; break;
    // Top and bottom from the bar's menu or the keys: a jump of the box to that end.
    case QAbstractSlider::SliderToMinimum:
    case QAbstractSlider::SliderToMaximum: code = ScrollThumbPosition; break;
    default: return;
    }
    if (m_editor)
        m_editor->OnVScroll(code, verticalScrollBar()->sliderPosition());
}

void QtEditControl::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    if (!m_editor)
        return;
    const bool hasPaper = m_editor->background && *m_editor->background;
    const bool composes = hasPaper && m_editor->needsRedraw;
    {
        QtSurface screen(painter, {viewport()->width(), viewport()->height()});
        m_editor->OnPaint(screen);
    }
    if (!hasPaper) {
        // No page of its own to show: the window's picture under the editor shows through.
        if (QWidget* window = parentWidget()) {
            QImage under(event->rect().size(), QImage::Format_RGB32);
            under.fill(Qt::black);
            window->render(&under, {}, QRegion(event->rect().translated(viewport()->mapTo(window, QPoint()))),
                           QWidget::DrawWindowBackground);
            painter.drawImage(event->rect().topLeft(), under);
        }
    } else if (!composes) {
        // Nothing changed on the page: put back what the caret uncovered.
        const auto* page = dynamic_cast<const QtSurface*>(m_editor->picture());
        if (page && page->image())
            painter.drawImage(event->rect().topLeft(), *page->image(), event->rect());
    }

    const QRect previous = m_drawnCaret;
    m_drawnCaret = caretRect();
    if (!m_drawnCaret.isEmpty()) {
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillRect(m_drawnCaret, Qt::black);
    }
    // The widget asks for repaints where its own layout puts the caret, which may lie a few
    // pixels off the page's grid: cover the rest of both carets in a following paint.
    for (const QRect& r : {previous, m_drawnCaret})
        if (!r.isEmpty() && !QRegion(r).subtracted(event->region()).isEmpty())
            viewport()->update(r);
}

void QtEditControl::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    m_layoutDirty = true;
    if (m_editor)
        m_editor->OnControlResized();
}

void QtEditControl::keyPressEvent(QKeyEvent* event)
{
    if (m_editor)
        m_editor->OnKeyDown(event->key());
    const bool shiftReturn = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
                             (event->modifiers() & Qt::ShiftModifier);
    if (shiftReturn) {
        // Every line break is a paragraph break (CR LF in the page), never a soft one.
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier, event->text(),
                        event->isAutoRepeat(), static_cast<quint16>(event->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
    } else {
        QPlainTextEdit::keyPressEvent(event);
    }
    followView();
    colourRequest();
}

#define PAGELET_FORWARD_MOUSE(handler)                                                                                 \
    QMouseEvent mapped(event->type(), toControl(event->position()), event->scenePosition(), event->globalPosition(), \
                       event->button(), event->buttons(), event->modifiers(), event->pointingDevice());              \
    QPlainTextEdit::handler(&mapped);                                                                                \
    event->setAccepted(mapped.isAccepted())

void QtEditControl::mousePressEvent(QMouseEvent* event)
{
    if (m_editor && event->button() == Qt::LeftButton)
        m_editor->OnLButtonDown();
    PAGELET_FORWARD_MOUSE(mousePressEvent);
    followView();
    colourRequest();
}

void QtEditControl::mouseMoveEvent(QMouseEvent* event)
{
    PAGELET_FORWARD_MOUSE(mouseMoveEvent);
    followView();
}

void QtEditControl::mouseReleaseEvent(QMouseEvent* event)
{
    PAGELET_FORWARD_MOUSE(mouseReleaseEvent);
    followView();
}

void QtEditControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    PAGELET_FORWARD_MOUSE(mouseDoubleClickEvent);
    colourRequest();
}

#undef PAGELET_FORWARD_MOUSE

void QtEditControl::inputMethodEvent(QInputMethodEvent* event)
{
    QPlainTextEdit::inputMethodEvent(event);
    m_layoutDirty = true;
    followView();
    colourRequest(); // the composition is part of the drawn page
}

void QtEditControl::wheelEvent(QWheelEvent* event)
{
    // Straight to the bar: no zooming, the page's line height is fixed.
    QAbstractScrollArea::wheelEvent(event);
}

void QtEditControl::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    viewport()->update();
}

void QtEditControl::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    viewport()->update();
}

} // namespace pagelet
