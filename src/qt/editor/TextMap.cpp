#include "qt/editor/TextMap.h"

#include "qt/graphics/QtGraphics.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>

#include <algorithm>

namespace pagelet {

void TextMap::ensureBlock(const QTextBlock& block)
{
    if (block.isValid() && block.layout() && block.layout()->lineCount() == 0)
        block.document()->documentLayout()->blockBoundingRect(block);
}

void TextMap::ensureLines(int first, int count)
{
    const int last = first + std::max(count, 1) - 1;
    QTextBlock b = m_document.findBlockByLineNumber(std::max(first, 0));
    if (!b.isValid())
        b = m_document.lastBlock();
    // Laying a paragraph out changes only the numbers of the lines after it.
    for (; b.isValid(); b = b.next()) {
        ensureBlock(b);
        if (b.firstLineNumber() + b.lineCount() > last)
            break;
    }
}

int TextMap::lineCount() const
{
    return m_document.lineCount();
}

VisualLine TextMap::line(int number)
{
    QTextBlock b = m_document.findBlockByLineNumber(number);
    ensureBlock(b);
    while (b.isValid() && b.next().isValid() && number >= b.firstLineNumber() + b.lineCount()) {
        b = b.next();
        ensureBlock(b);
    }
    return {b, b.layout()->lineAt(number - b.firstLineNumber())};
}

int TextMap::lineStart(int number)
{
    if (number < 0 || number >= lineCount())
        return -1;
    const VisualLine l = line(number);
    return l.block.position() + offsetFromLayout(l.block, l.line.textStart()) + l.block.blockNumber();
}

int TextMap::storedLength() const
{
    return m_document.characterCount() + m_document.blockCount() - 2;
}

// Each paragraph break before a position stands for CR LF, one unit more than the widget's.
int TextMap::storedFromWidget(int position) const
{
    const QTextBlock b = m_document.findBlock(position);
    return position + (b.isValid() ? b.blockNumber() : m_document.blockCount() - 1);
}

int TextMap::widgetFromStored(int index) const
{
    int low = 0;
    int high = m_document.blockCount() - 1;
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (m_document.findBlockByNumber(mid).position() + mid <= index)
            low = mid;
        else
            high = mid - 1;
    }
    const QTextBlock b = m_document.findBlockByNumber(low);
    // The LF of a break lands at the end of its paragraph, like the CR.
    return b.position() + std::clamp(index - (b.position() + low), 0, b.length() - 1);
}

int TextMap::layoutFromOffset(const QTextBlock& block, int offset)
{
    const QTextLayout* layout = block.layout();
    const int length = static_cast<int>(layout->preeditAreaText().size());
    return length > 0 && offset >= layout->preeditAreaPosition() ? offset + length : offset;
}

int TextMap::offsetFromLayout(const QTextBlock& block, int position)
{
    const QTextLayout* layout = block.layout();
    const int at = layout->preeditAreaPosition();
    const int length = static_cast<int>(layout->preeditAreaText().size());
    if (length == 0 || position < at)
        return position;
    return position >= at + length ? position - length : at;
}

// The whole page in one pass over the document's raw text (each page change stores it):
// walking the paragraphs costs a lookup and a copy each.
std::u16string TextMap::text() const
{
    const QString raw = m_document.toRawText();
    const std::size_t length = static_cast<std::size_t>(storedLength());
    std::u16string out;
    out.reserve(length + 2);
    // In runs between the paragraphs' separators: a change of day reads a whole page back.
    const std::u16string_view units(reinterpret_cast<const char16_t*>(raw.utf16()), static_cast<std::size_t>(raw.size()));
    for (std::size_t at = 0; at < units.size();) {
        const qsizetype found = raw.indexOf(QChar::ParagraphSeparator, static_cast<qsizetype>(at)); // vectorised
        const std::size_t end = found < 0 ? units.size() : static_cast<std::size_t>(found);
        out.append(units.substr(at, end - at));
        if (end < units.size())
            out += u"\r\n";
        at = end + 1;
    }
    // The raw text ends with the last paragraph's separator, which stands for nothing.
    out.resize(std::min(out.size(), length));
    return out;
}

// Blocks' own text, not toPlainText(), which turns no-break spaces into spaces.
std::u16string TextMap::text(int start, int end) const
{
    std::u16string out;
    start = std::clamp(start, 0, storedLength());
    end = std::clamp(end, start, storedLength());
    out.reserve(static_cast<std::size_t>(end - start));
    QTextBlock b = m_document.findBlock(widgetFromStored(start));
    for (; b.isValid(); b = b.next()) {
        const int from = b.position() + b.blockNumber(); // stored index of the paragraph's start
        if (from >= end)
            break;
        const QString t = b.text();
        std::u16string_view units(reinterpret_cast<const char16_t*>(t.utf16()), static_cast<std::size_t>(t.size()));
        const int a = std::max(start - from, 0);
        const int z = std::min(end - from, static_cast<int>(units.size()));
        if (a < z)
            out.append(units.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(z - a)));
        if (b.next().isValid()) {
            const int breakAt = from + static_cast<int>(units.size());
            for (int i = 0; i < 2; ++i)
                if (breakAt + i >= start && breakAt + i < end)
                    out += i == 0 ? u'\r' : u'\n';
        }
    }
    return out;
}

Composition TextMap::composition(const QTextBlock& caretBlock) const
{
    if (!caretBlock.isValid() || !caretBlock.layout())
        return {};
    const QString composing = caretBlock.layout()->preeditAreaText();
    if (composing.isEmpty())
        return {};
    return {fromQString(composing), storedFromWidget(caretBlock.position() + caretBlock.layout()->preeditAreaPosition())};
}

} // namespace pagelet
