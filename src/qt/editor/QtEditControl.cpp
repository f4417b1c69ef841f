#include "qt/editor/QtEditControl.h"

#include "qt/graphics/QtGraphics.h"
#include "qt/graphics/Zoom.h"
#include "ui/DiaryEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace pagelet {

QtEditControl::QtEditControl(QWidget* parent, const Zoom& zoom)
    : QPlainTextEdit(parent), m_zoom(zoom), m_map(*document())
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

LineGrid QtEditControl::grid() const
{
    const int spacing = m_editor ? m_editor->lineHeight : fontMetrics().height();
    return LineGrid(std::max(spacing, 1));
}

// Where the page draws visual line `line`: on the editor's grid below the first shown line,
// at the window's zoom.
int QtEditControl::drawnTop(int line) const
{
    return m_zoom.scaled(grid().top(line - verticalScrollBar()->value()));
}

// Where the widget's own layout has it (it drops the top margin once scrolled).
int QtEditControl::layoutTop(int line)
{
    const VisualLine l = m_map.line(line);
    return static_cast<int>(std::floor(blockBoundingGeometry(l.block).translated(contentOffset()).top() + l.line.y()));
}

QRect QtEditControl::caretRectAt(const QTextBlock& block, int layoutPosition)
{
    const QTextLine l = block.layout()->lineForTextPosition(layoutPosition);
    if (!l.isValid())
        return {};
    const int x = static_cast<int>(std::lround(l.cursorToX(layoutPosition) + contentOffset().x()));
    const int line = block.firstLineNumber() + l.lineNumber();
    return {x, drawnTop(line), cursorWidth(), drawnTop(line + 1) - drawnTop(line)};
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

// A point on the drawn page to the same place in the widget's layout.
QPointF QtEditControl::toControl(QPointF drawn)
{
    const int count = m_map.lineCount();
    const LineGrid rows = grid();
    const int row = rows.rowAt(m_zoom.pixelAt(drawn.y()));
    const int line = verticalScrollBar()->value() + row;
    const qreal within = std::max<qreal>(drawn.y(), m_zoom.scaled(LineGrid::kInset)) - drawnTop(line);
    if (line < count) {
        const qreal height = m_map.line(line).line.height();
        return {drawn.x(), layoutTop(line) + std::min(within, height - 0.5)};
    }
    return {drawn.x(), drawn.y() - drawnTop(count - 1) + layoutTop(count - 1)};
}

QMouseEvent QtEditControl::toControl(const QMouseEvent& event)
{
    return QMouseEvent(event.type(), toControl(event.position()), event.scenePosition(), event.globalPosition(),
                       event.button(), event.buttons(), event.modifiers(), event.pointingDevice());
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

// The lines on screen and one more are laid out, so the count is exact as far as the view
// reaches and an estimate beyond, like the widget's own scroll bar.
void QtEditControl::exactView()
{
    fitFont();
    m_map.ensureLines(verticalScrollBar()->value(), grid().partialRows(viewport()->height()) + 1);
}

int QtEditControl::lineCount()
{
    exactView();
    return m_map.lineCount();
}

int QtEditControl::lineIndex(int line)
{
    return m_map.lineStart(line);
}

Point QtEditControl::posFromChar(int index)
{
    if (index < 0 || index > m_map.storedLength())
        return {-1, -1};
    const int position = m_map.widgetFromStored(index);
    const QTextBlock b = document()->findBlock(position);
    TextMap::ensureBlock(b);
    const QRect r = caretRectAt(b, TextMap::layoutFromOffset(b, position - b.position()));
    if (r.isNull())
        return {-1, -1};
    return {m_zoom.unscaled(r.x()), m_zoom.unscaled(r.y())};
}

void QtEditControl::getSelection(int& start, int& end)
{
    const QTextCursor c = textCursor();
    start = m_map.storedFromWidget(c.selectionStart());
    end = m_map.storedFromWidget(c.selectionEnd());
}

void QtEditControl::setSelection(int start, int end)
{
    const int length = m_map.storedLength();
    QTextCursor c = textCursor();
    c.setPosition(m_map.widgetFromStored(std::clamp(start, 0, length)));
    c.setPosition(m_map.widgetFromStored(std::clamp(end, 0, length)), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void QtEditControl::scrollCaret()
{
    TextMap::ensureBlock(textCursor().block());
    ensureCursorVisible();
}

int QtEditControl::firstVisibleLine()
{
    return verticalScrollBar()->value();
}

void QtEditControl::lineScroll(int lines)
{
    exactView();
    if (lines != 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + lines);
}

void QtEditControl::setReadOnly(bool readOnly)
{
    QPlainTextEdit::setReadOnly(readOnly);
}

std::u16string QtEditControl::text()
{
    return m_map.text();
}

int QtEditControl::textLength()
{
    return m_map.storedLength();
}

std::u16string QtEditControl::textRange(int start, int end)
{
    return m_map.text(start, end);
}

Point QtEditControl::posOnLine(int index, int line)
{
    if (line < 0 || line >= m_map.lineCount() || index < 0 || index > m_map.storedLength())
        return {-1, -1};
    const VisualLine l = m_map.line(line);
    const int offset = m_map.widgetFromStored(index) - l.block.position();
    const int at = std::clamp(TextMap::layoutFromOffset(l.block, offset), l.line.textStart(),
                              l.line.textStart() + l.line.textLength());
    return {static_cast<int>(std::lround(l.line.cursorToX(at) + contentOffset().x())), drawnTop(line)};
}

void QtEditControl::replaceSelection(const std::u16string& s)
{
    // Each break the page stores (CR LF, CR or LF) is one paragraph break here.
    QString units = toQString(s);
    units.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QTextCursor c = textCursor();
    m_settingText = true;
    c.insertText(units);
    setTextCursor(c);
    m_settingText = false;
}

namespace {
// Beyond this many characters without a blank, breaking at word boundaries costs the square of
// the run in the widget's line breaking (minutes for a million); such a run is broken at the
// edge either way, so the page is broken anywhere instead.
constexpr std::size_t kLongestWord = 4096;

bool hasRunLongerThan(const std::u16string& text, std::size_t limit)
{
    std::size_t run = 0;
    for (char16_t c : text) {
        run = (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u3000') ? 0 : run + 1;
        if (run > limit)
            return true;
    }
    return false;
}
} // namespace

bool QtEditControl::keepsAsIs(std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r') {
            if (i + 1 == text.size() || text[i + 1] != u'\n')
                return false;
            ++i;
        } else if (c == u'\n' || c == u'\u2029' || c == u'\uFDD0' || c == u'\uFDD1') {
            return false;
        }
    }
    return true;
}

void QtEditControl::setText(const std::u16string& text)
{
    const auto wrap = hasRunLongerThan(text, kLongestWord) ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (wordWrapMode() != wrap)
        setWordWrapMode(wrap);
    m_settingText = true;
    setPlainText(toQString(text)); // CR LF, CR and LF each make one break
    m_settingText = false;
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
    setTextCursor(cursorForPosition(toControl(QPointF(m_zoom.scaled(at.x), m_zoom.scaled(at.y))).toPoint()));
}

void QtEditControl::showScrollBar(bool show)
{
    setVerticalScrollBarPolicy(show ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

// The widget's bar runs to the last possible first line; ours, like the page, to the last line.
ScrollInfo QtEditControl::scrollInfo()
{
    exactView();
    const QScrollBar* bar = verticalScrollBar();
    const int page = bar->pageStep();
    return {bar->minimum(), bar->maximum() + std::max(page, 1) - 1, page, bar->value(), bar->sliderPosition()};
}

void QtEditControl::setScrollPos(int position)
{
    exactView();
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
    Composition c = m_map.composition(block);
    if (c.text.empty())
        return c;
    TextMap::ensureBlock(block);
    const QTextLayout& layout = *block.layout();
    const int start = layout.preeditAreaPosition();
    const int end = start + static_cast<int>(layout.preeditAreaText().size());
    // A stretch split over the visual lines it runs across.
    const auto mark = [&](int from, int to, bool underline, bool highlight) {
        while (from < to) {
            const QTextLine line = layout.lineForTextPosition(from);
            if (!line.isValid())
                return;
            const int lineEnd = std::min(to, line.textStart() + line.textLength());
            if (lineEnd <= from)
                return;
            const qreal x = contentOffset().x();
            const int left = m_zoom.unscaled(static_cast<int>(std::lround(line.cursorToX(from) + x)));
            const int right = m_zoom.unscaled(static_cast<int>(std::lround(line.cursorToX(lineEnd) + x)));
            c.marks.push_back({block.firstLineNumber() + line.lineNumber(), std::min(left, right), std::max(left, right),
                               underline, highlight});
            from = lineEnd;
        }
    };
    // Underlined whole, whatever the input method asks (fcitx5's Hangul asks only for a
    // highlight); its highlights on top. Its formats lie in the layout over the composition.
    mark(start, end, true, false);
    for (const QTextLayout::FormatRange& r : layout.formats())
        if (r.format.hasProperty(QTextFormat::BackgroundBrush))
            mark(std::max(r.start, start), std::min(r.start + r.length, end), false, true);
    return c;
}

void QtEditControl::commitComposition()
{
    const auto composing = [this] {
        const QTextBlock block = textCursor().block();
        return block.layout() ? block.layout()->preeditAreaText() : QString();
    };
    if (composing().isEmpty())
        return;
    // ibus hands the syllable over on commit; fcitx5 only on reset, which also makes it forget
    // the syllable (committed by hand, it would come again with the next key). One that does
    // neither still loses nothing: what is left is taken as typed.
    QInputMethod* im = QGuiApplication::inputMethod();
    im->commit();
    im->reset();
    const QString left = composing();
    if (left.isEmpty())
        return;
    QInputMethodEvent event;
    event.setCommitString(left);
    QCoreApplication::sendEvent(this, &event);
}

Point QtEditControl::clientOrigin()
{
    const QPoint at = viewport()->mapTo(this, QPoint());
    return {at.x(), at.y()};
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

// The widget lays its lines out in the font the page draws them in.
void QtEditControl::fitFont()
{
    // The face that fits a row at 100 %, at the zoomed size: the page draws it the same way.
    const QFont fitted = m_zoom.scaled(fontFittingRows(m_editor ? m_editor->lineHeight : 0));
    if (font() != fitted)
        setFont(fitted);
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

// Qt 6.4 reads the first offered format without looking whether there is one, and a clipboard
// whose owner has gone offers none. A page takes plain text only, so nothing else is pasted.
void QtEditControl::insertFromMimeData(const QMimeData* source)
{
    if (isReadOnly() || !source || !source->hasText())
        return;
    if (const QString text = source->text(); !text.isEmpty())
        insertPlainText(text);
}

} // namespace pagelet
