#include "qt/editor/QtPageRows.h"

#include "qt/graphics/QtGraphics.h"
#include "qt/graphics/Zoom.h"
#include "ui/DiaryEdit.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace pagelet {

QtPageRows::QtPageRows(QWidget* parent, const Zoom& zoom) : QtStoredText(parent), m_zoom(zoom) {}

LineGrid QtPageRows::grid() const
{
    const int spacing = m_editor ? m_editor->lineHeight : fontMetrics().height();
    return LineGrid(std::max(spacing, 1));
}

// Where the page draws visual line `line`: on the editor's grid below the first shown line,
// at the window's zoom.
int QtPageRows::drawnTop(int line) const
{
    return m_zoom.scaled(grid().top(line - verticalScrollBar()->value()));
}

// Where the widget's own layout has it (it drops the top margin once scrolled).
int QtPageRows::layoutTop(int line)
{
    const VisualLine l = m_map.line(line);
    return static_cast<int>(std::floor(blockBoundingGeometry(l.block).translated(contentOffset()).top() + l.line.y()));
}

QRect QtPageRows::caretRectAt(const QTextBlock& block, int layoutPosition)
{
    const QTextLine l = block.layout()->lineForTextPosition(layoutPosition);
    if (!l.isValid())
        return {};
    const int x = static_cast<int>(std::lround(l.cursorToX(layoutPosition) + contentOffset().x()));
    const int line = block.firstLineNumber() + l.lineNumber();
    return {x, drawnTop(line), cursorWidth(), drawnTop(line + 1) - drawnTop(line)};
}

// A point on the drawn page to the same place in the widget's layout.
QPointF QtPageRows::toControl(QPointF drawn)
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

QMouseEvent QtPageRows::toControl(const QMouseEvent& event)
{
    return QMouseEvent(event.type(), toControl(event.position()), event.scenePosition(), event.globalPosition(),
                       event.button(), event.buttons(), event.modifiers(), event.pointingDevice());
}

// The lines on screen and one more are laid out, so the count is exact as far as the view
// reaches and an estimate beyond, like the widget's own scroll bar.
void QtPageRows::exactView()
{
    fitFont();
    m_map.ensureLines(verticalScrollBar()->value(), grid().partialRows(viewport()->height()) + 1);
}

// The widget lays its lines out in the font the page draws them in.
void QtPageRows::fitFont()
{
    // The face that fits a row at 100 %, at the zoomed size: the page draws it the same way.
    const QFont fitted = m_zoom.scaled(fontFittingRows(m_editor ? m_editor->lineHeight : 0));
    if (font() != fitted)
        setFont(fitted);
}

int QtPageRows::lineCount()
{
    exactView();
    return m_map.lineCount();
}

int QtPageRows::lineIndex(int line)
{
    return m_map.lineStart(line);
}

Point QtPageRows::posFromChar(int index)
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

void QtPageRows::scrollCaret()
{
    TextMap::ensureBlock(textCursor().block());
    ensureCursorVisible();
}

int QtPageRows::firstVisibleLine()
{
    return verticalScrollBar()->value();
}

void QtPageRows::lineScroll(int lines)
{
    exactView();
    if (lines != 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + lines);
}

Point QtPageRows::posOnLine(int index, int line)
{
    if (line < 0 || line >= m_map.lineCount() || index < 0 || index > m_map.storedLength())
        return {-1, -1};
    const VisualLine l = m_map.line(line);
    const int offset = m_map.widgetFromStored(index) - l.block.position();
    const int at = std::clamp(TextMap::layoutFromOffset(l.block, offset), l.line.textStart(),
                              l.line.textStart() + l.line.textLength());
    return {static_cast<int>(std::lround(l.line.cursorToX(at) + contentOffset().x())), drawnTop(line)};
}

void QtPageRows::setCaretPos(Point at)
{
    setTextCursor(cursorForPosition(toControl(QPointF(m_zoom.scaled(at.x), m_zoom.scaled(at.y))).toPoint()));
}

void QtPageRows::showScrollBar(bool show)
{
    setVerticalScrollBarPolicy(show ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

// The widget's bar runs to the last possible first line; ours, like the page, to the last line.
ScrollInfo QtPageRows::scrollInfo()
{
    exactView();
    const QScrollBar* bar = verticalScrollBar();
    const int page = bar->pageStep();
    return {bar->minimum(), bar->maximum() + std::max(page, 1) - 1, page, bar->value(), bar->sliderPosition()};
}

void QtPageRows::setScrollPos(int position)
{
    exactView();
    verticalScrollBar()->setValue(position);
}

int QtPageRows::scrollBarWidth()
{
    return verticalScrollBar()->sizeHint().width();
}

Composition QtPageRows::composition()
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

Point QtPageRows::clientOrigin()
{
    const QPoint at = viewport()->mapTo(this, QPoint());
    return {at.x(), at.y()};
}

} // namespace pagelet
