#include "qt/editor/QtEditControl.h"

#include "qt/graphics/QtGraphics.h"
#include "qt/graphics/Zoom.h"
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

namespace pagelet {

QtEditControl::QtEditControl(QWidget* parent, const Zoom& zoom)
    : QtPageRows(parent, zoom)
{
    setFrameStyle(QFrame::Box | QFrame::Plain); // a thin border
    setLineWidth(1);
    // Text starts where the page draws it: kInset in from the left and the top.
    document()->setDocumentMargin(LineGrid::kInset);
    setTabChangesFocus(true);
    // A bar of our own: the stock one pages by its own rule before OnVScroll could decide.
    setVerticalScrollBar(new QScrollBar(Qt::Vertical, this));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The page covers every pixel; never erase first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);

    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_editor || m_settingText)
            return;
        // The editor reads the scroll position as the control's answer to the edit.
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
}

// The base class's teardown still moves focus and the view; none of that may reach this
// half-destroyed object or an editor that may already be gone.
QtEditControl::~QtEditControl()
{
    m_editor = nullptr;
    disconnect(this, nullptr, this, nullptr);
    disconnect(verticalScrollBar(), nullptr, this, nullptr);
    disconnect(document(), nullptr, this, nullptr);
}

QRect QtEditControl::caretRect()
{
    if (!m_caretShown || isReadOnly() || !hasFocus())
        return {};
    const QAbstractTextDocumentLayout::PaintContext context = getPaintContext();
    if (context.cursorPosition == -1)
        return {}; // blinked off
    if (context.cursorPosition < -1) { // inside the text being composed
        const QTextBlock block = textCursor().block();
        TextMap::ensureBlock(block);
        return caretRectAt(block, block.layout()->preeditAreaPosition() - (context.cursorPosition + 2));
    }
    const QTextBlock block = document()->findBlock(context.cursorPosition);
    TextMap::ensureBlock(block);
    return caretRectAt(block, context.cursorPosition - block.position());
}

void QtEditControl::create(const Rect& area)
{
    QPlainTextEdit::setReadOnly(true);
    moveTo(area);
    show();
}

void QtEditControl::moveTo(const Rect& area)
{
    setGeometry(m_zoom.scaled(area));
}

void QtEditControl::applyZoom(const Rect& area)
{
    // A new margin reports the text as changed; the page itself is not.
    m_settingText = true;
    document()->setDocumentMargin(m_zoom.scaled(LineGrid::kInset));
    // Drawn pages use this same face at this size (QtSurface::drawText), so the text lies
    // where this layout puts the caret.
    fitFont();
    m_settingText = false;
    moveTo(area);
}

// The page draws its lines kInset pixels in, so the text keeps that inset under them.
void QtEditControl::setMarginsZero() {}

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
    fitFont();
    QPainter painter(viewport());
    if (!m_editor)
        return;
    const bool hasPaper = m_editor->background && *m_editor->background;
    const bool composes = hasPaper && m_editor->needsRedraw;
    {
        // The page is drawn at 100 % and scaled; text comes out at the zoomed size.
        painter.save();
        painter.scale(m_zoom.factor(), m_zoom.factor());
        QtSurface screen(painter, {m_zoom.unscaled(viewport()->width()), m_zoom.unscaled(viewport()->height())});
        m_editor->OnPaint(screen);
        painter.restore();
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

// Taps and drags land where the page draws, which may lie a few pixels off the widget's layout.
void QtEditControl::mousePressEvent(QMouseEvent* event)
{
    if (m_editor && event->button() == Qt::LeftButton)
        m_editor->OnLButtonDown();
    QMouseEvent mapped = toControl(*event);
    QPlainTextEdit::mousePressEvent(&mapped);
    event->setAccepted(mapped.isAccepted());
    followView();
    colourRequest();
}

void QtEditControl::mouseMoveEvent(QMouseEvent* event)
{
    QMouseEvent mapped = toControl(*event);
    QPlainTextEdit::mouseMoveEvent(&mapped);
    event->setAccepted(mapped.isAccepted());
    followView();
}

void QtEditControl::mouseReleaseEvent(QMouseEvent* event)
{
    QMouseEvent mapped = toControl(*event);
    QPlainTextEdit::mouseReleaseEvent(&mapped);
    event->setAccepted(mapped.isAccepted());
    followView();
}

void QtEditControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    QMouseEvent mapped = toControl(*event);
    QPlainTextEdit::mouseDoubleClickEvent(&mapped);
    event->setAccepted(mapped.isAccepted());
    colourRequest();
}

void QtEditControl::inputMethodEvent(QInputMethodEvent* event)
{
    QPlainTextEdit::inputMethodEvent(event);
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
