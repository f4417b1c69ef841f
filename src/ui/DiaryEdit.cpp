#include "ui/DiaryEdit.h"

#include "platform/SoftKeyboard.h"
#include "platform/EditControl.h"
#include "platform/Graphics.h"

#include <algorithm>

namespace pagelet {

namespace {
// What the main window shows where its picture ends; the page shows the same.
constexpr Color kUncoveredFill = rgb(0, 0, 255);
} // namespace

DiaryEdit::DiaryEdit(EditControl& control, Graphics& graphics, SoftKeyboard& keyboard)
    : text(control), scrollBarWidth(control.scrollBarWidth()), m_control(control), m_graphics(graphics), m_keyboard(keyboard)
{
}

DiaryEdit::~DiaryEdit() = default;

// The control's own view goes back under the drawn page.
void DiaryEdit::alignControl()
{
    const int top = m_control.firstVisibleLine();
    if (top != firstLine)
        m_control.lineScroll(firstLine - top);
}

void DiaryEdit::repaint()
{
    needsRedraw = true;
    m_control.invalidate();
}

void DiaryEdit::create(const Rect& a)
{
    area = a;
    m_control.create(area);
    m_control.setFocus();
    setEditable(true);
}

bool DiaryEdit::showScrollBar(bool show)
{
    if (show == scrollBarShown)
        return true;
    m_changingScrollBar = true;
    m_control.showScrollBar(show);
    m_changingScrollBar = false;
    scrollBarShown = show;
    // The bar takes width from the lines, so they may wrap anew.
    lineCount = m_control.lineCount();
    return true;
}

bool DiaryEdit::keepsText(std::u16string_view s) const
{
    return m_control.keepsText(s);
}

bool DiaryEdit::setText(const std::u16string& s)
{
    // More characters than the rows could hold at a pixel each surely need the bar: show it
    // first, so a long page is laid out once, at the width it keeps.
    if (static_cast<long long>(s.size()) > static_cast<long long>(wholeRows()) * area.width())
        showScrollBar(true);
    m_control.setText(s);
    // Read back when needed in the control's form: breaks always CR LF, so its indices are ours.
    text.stale();
    lineCount = m_control.lineCount();
    if (!text.empty() && lineCount > wholeRows()) {
        showScrollBar(true);
        const ScrollInfo info = m_control.scrollInfo();
        firstLine = info.position;
        m_control.setScrollPos(info.minimum);
    } else {
        firstLine = 0;
        showScrollBar(false);
    }
    m_control.setCaretPos({1, 2});
    needsRedraw = true;
    return true;
}

bool DiaryEdit::insertText(const std::u16string& s)
{
    // An edit at the caret, not a new page: the rest of the page and the undo steps stay.
    m_control.replaceSelection(s);
    text.stale();
    m_control.setFocus();
    m_control.scrollCaret();
    showCaret(false);
    lineCount = m_control.lineCount();
    // The control reports no change for text put in by the program; the close must still ask.
    saved = false;
    repaint();
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
    if (edit != editable) {
        alignControl();
        m_control.setReadOnly(!edit);
        editable = edit;
        showCaret(edit);
        if (autoKeyboard)
            m_keyboard.show(edit);
    } else {
        m_control.setReadOnly(!edit);
    }
    repaint();
    return true;
}

bool DiaryEdit::relayout()
{
    if (!text.empty() && lineCount > wholeRows()) {
        showScrollBar(true);
        m_control.setScrollPos(m_control.scrollInfo().maximum);
        firstLine = m_control.scrollInfo().position; // the bar stops at maximum - page + 1
    } else {
        firstLine = 0;
        showScrollBar(false);
        alignControl();
    }
    if (!text.empty())
        lastLineCount = lineCount;
    repaint();
    return true;
}

void DiaryEdit::OnChange()
{
    lineCount = m_control.lineCount();
    text.stale();
    if (text.empty()) {
        firstLine = 0;
        showScrollBar(false);
    } else if (lineCount != lastLineCount) {
        if (lineCount < partialRows()) {
            firstLine = 0;
            alignControl();
            showCaret(true);
            showScrollBar(false);
        } else {
            // The control has scrolled itself to the caret and moved its bar.
            firstLine = m_control.scrollInfo().position;
            showScrollBar(true);
            alignControl();
            showCaret(true);
        }
        lastLineCount = lineCount;
    }
    saved = false;
    repaint();
}

void DiaryEdit::OnVScroll(int code, int /*position: the bar's own tracking position is read instead*/)
{
    const ScrollInfo info = m_control.scrollInfo();
    const int cur = info.position;
    // A page shorter than the view has nowhere to go below the minimum.
    const int bottom = std::max(info.minimum, info.maximum - info.page + 1);
    switch (code) {
    case ScrollLineUp: firstLine = std::max(cur - 1, info.minimum); break;
    case ScrollLineDown: firstLine = std::min(cur + 1, bottom); break;
    case ScrollPageUp: firstLine = std::max(cur - info.page, info.minimum); break;
    case ScrollPageDown: firstLine = std::min(cur + info.page, bottom); break;
    case ScrollThumbPosition:
    case ScrollThumbTrack: firstLine = info.trackPosition; break;
    default: firstLine = cur; break;
    }
    if (editable)
        showCaret(false);
    m_control.setScrollPos(firstLine);
    repaint();
}

void DiaryEdit::OnLButtonDown()
{
    if (editable) {
        alignControl();
        showCaret(true);
    }
    repaint();
}

void DiaryEdit::OnKeyDown(int /*key: every key re-aligns the same way*/)
{
    if (m_control.firstVisibleLine() == firstLine)
        return;
    // Put the control back under the page the user sees before the key moves the caret.
    alignControl();
    firstLine = m_control.firstVisibleLine();
    repaint();
}

void DiaryEdit::OnControlScrolled()
{
    const int top = m_control.firstVisibleLine();
    if (top == firstLine)
        return;
    firstLine = top;
    repaint();
}

void DiaryEdit::OnControlResized()
{
    if (m_changingScrollBar)
        return; // showScrollBar counts the lines itself
    lineCount = m_control.lineCount();
    showScrollBar(!text.empty() && lineCount > wholeRows());
    firstLine = m_control.firstVisibleLine();
    repaint();
}

Point DiaryEdit::posFromChar(int index)
{
    return m_control.posFromChar(index);
}

void DiaryEdit::CtlColor()
{
    if (!editable)
        return;
    buildSelectionRects();
    repaint();
}

// One rectangle per selected row shown, from its first selected character to the start of
// the character after its last one on that row (a wrapped row ends where its text does).
void DiaryEdit::buildSelectionRects()
{
    selectionRects.clear();
    int start = 0;
    int end = 0;
    m_control.getSelection(start, end);
    if (end <= start || lineHeight <= 0)
        return;
    const int count = m_control.lineCount();
    const int length = m_control.textLength();
    const int top = std::max(m_control.firstVisibleLine(), 0);
    const int last = std::min(count - 1, top + partialRows());
    for (int line = top; line <= last; ++line) {
        const int lineStart = m_control.lineIndex(line);
        if (lineStart < 0 || lineStart > end)
            break;
        const int next = line + 1 < count ? m_control.lineIndex(line + 1) : -1;
        int rowEnd = next >= 0 ? next : length;
        if (next >= 2 && m_control.textRange(next - 2, next) == u"\r\n")
            rowEnd = next - 2; // the break shows nothing
        const int a = std::max(start, lineStart);
        const int b = std::min(end, rowEnd);
        if (a > b)
            continue;
        const Point pa = m_control.posOnLine(a, line);
        const Point pb = m_control.posOnLine(b, line);
        if (pa == Point {-1, -1})
            continue;
        auto rect = std::make_unique<SelectionRect>(pa.x, pa.y, pa.x, pa.y + lineHeight);
        if (pb != Point {-1, -1} && pb.y == pa.y) {
            rect->left = std::min(pa.x, pb.x);
            rect->right = std::max(pa.x, pb.x);
        }
        selectionRects.push_back(std::move(rect));
    }
}

void DiaryEdit::drawLines(Surface& page, const Composition& composing)
{
    const int length = m_control.textLength();
    const int last = std::min(firstLine + wholeRows(), lineCount);
    const Color color = editable ? editTextColor : viewTextColor;
    std::u16string run;
    for (int line = std::max(firstLine, 0); line < last; ++line) {
        const int s = m_control.lineIndex(line);
        if (s < 0 || s > length)
            break;
        const int next = m_control.lineIndex(line + 1);
        const int e = next > s ? std::min(next, length) : length;
        run = m_control.textRange(s, e);
        // The break ends the drawn line; a line that wrapped inside a word is drawn in full.
        const auto cut = run.find_first_of(u"\r\n\u2028");
        if (cut != std::u16string::npos)
            run.resize(cut);
        const bool holdsComposition =
            !composing.text.empty() && composing.at >= s && (composing.at < e || (next < 0 && composing.at <= length));
        if (holdsComposition)
            run.insert(std::min(run.size(), static_cast<std::size_t>(composing.at - s)), composing.text);
        const int y = grid().top(line - firstLine);
        // After a tab the text goes on where the control put it. A line holding a composition
        // is drawn whole: its indices no longer match the text.
        std::size_t from = 0;
        for (;;) {
            const auto tab = holdsComposition ? std::u16string::npos : run.find(u'\t', from);
            const std::u16string_view piece(run.data() + from, (tab == std::u16string::npos ? run.size() : tab) - from);
            const Point at = from == 0 ? Point {lineRect.left, y} : m_control.posFromChar(s + static_cast<int>(from));
            if (!piece.empty())
                page.drawText({at.x >= 0 ? at.x : lineRect.left, y, lineRect.right, y + lineHeight}, piece, color);
            if (tab == std::u16string::npos)
                break;
            from = tab + 1;
        }
    }
}

// Marked as the input method asks, so the user sees what is still being composed.
void DiaryEdit::markComposition(Surface& page, const Composition& composing, Point under)
{
    const int last = std::min(firstLine + wholeRows(), lineCount);
    for (const Composition::Mark& m : composing.marks) {
        if (m.line < firstLine || m.line >= last || m.right <= m.left)
            continue;
        const int top = grid().top(m.line - firstLine);
        // Just above the row's foot, where a ruled line may lie; a highlight stops a pixel
        // above it, so the underline stays apart from it.
        const int foot = top + lineHeight - 2;
        if (m.highlight)
            page.xorBitmap(**background, {under.x + m.left, under.y + top}, {m.left, top, m.right, foot - 1});
        if (m.underline)
            page.fill({m.left, foot, m.right, foot + 1}, editTextColor);
    }
}

void DiaryEdit::OnPaint(Surface& screen)
{
    const Size size {area.width(), area.height()};
    if (!m_offscreen || m_offscreen->size() != size)
        m_offscreen = m_graphics.makeSurface(size);
    if (!background || !*background || !needsRedraw)
        return;
    needsRedraw = false;
    lineRect = {LineGrid::kInset, LineGrid::kInset, size.width - (scrollBarShown ? scrollBarWidth : 0), size.height};

    Surface& page = *m_offscreen;
    // The client pixels lie inside the control's frame, over the picture's pixels there.
    const Point origin = m_control.clientOrigin();
    const Point under {area.left + origin.x, area.top + origin.y};
    page.copyBitmap(**background, under, {0, 0, size.width, size.height});
    // A picture smaller than the page leaves the rest to be cleared, or old text stays.
    const Size picture = (*background)->size();
    const int coveredWidth = std::max(picture.width - under.x, 0);
    const int coveredHeight = std::max(picture.height - under.y, 0);
    if (coveredWidth < size.width)
        page.fill({coveredWidth, 0, size.width, size.height}, kUncoveredFill);
    if (coveredHeight < size.height)
        page.fill({0, coveredHeight, std::min(coveredWidth, size.width), size.height}, kUncoveredFill);
    // The syllable being composed shows on an empty page too.
    const Composition composing = editable ? m_control.composition() : Composition {};
    if ((!text.empty() || !composing.text.empty()) && lineHeight > 0) {
        page.fitTextTo(lineHeight);
        drawLines(page, composing);
        markComposition(page, composing, under);
    }

    // The selection as it stands now, so a scroll or a window repaint keeps it in place.
    if (editable)
        buildSelectionRects();
    else
        selectionRects.clear();
    // XOR with the picture under each rectangle turns exactly what the user sees inside out.
    for (const auto& r : selectionRects)
        if (r->width() > 0 && r->height() > 0) // a selection ending at a line's start leaves it an empty one
            page.xorBitmap(**background, {under.x + r->left, under.y + r->top}, {r->left, r->top, r->right, r->bottom});
    selectionRects.clear();

    screen.copySurface(page, {0, 0});
}

} // namespace pagelet
