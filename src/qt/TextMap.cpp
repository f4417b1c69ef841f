#include "qt/TextMap.h"

#include "qt/QtGraphics.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>

#include <algorithm>

namespace pagelet {

void TextMap::ensureLayout()
{
    if (!m_layoutDirty)
        return;
    QAbstractTextDocumentLayout* layout = m_document.documentLayout();
    for (QTextBlock b = m_document.begin(); b.isValid(); b = b.next())
        layout->blockBoundingRect(b);
    m_layoutDirty = false;
}

int TextMap::lineCount()
{
    ensureLayout();
    return m_document.lineCount();
}

VisualLine TextMap::line(int number)
{
    ensureLayout();
    const QTextBlock b = m_document.findBlockByLineNumber(number);
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

// Blocks' own text, not toPlainText(), which turns no-break spaces into spaces.
std::u16string TextMap::text() const
{
    std::u16string out;
    out.reserve(static_cast<std::size_t>(storedLength()));
    for (QTextBlock b = m_document.begin(); b.isValid(); b = b.next()) {
        if (b.blockNumber() > 0)
            out += u"\r\n";
        const QString t = b.text();
        out.append(reinterpret_cast<const char16_t*>(t.utf16()), static_cast<std::size_t>(t.size()));
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
