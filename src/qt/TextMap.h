#pragma once
#include "platform/EditControl.h"

#include <QTextBlock>
#include <QTextLayout>

#include <string>

class QTextDocument;

namespace pagelet {

// One visual line of the document: its paragraph and its line in the paragraph's layout.
struct VisualLine {
    QTextBlock block;
    QTextLine line;
};

// The widget's document as the page stores it. The page's indices count each paragraph break
// as CR LF, one unit more than the widget's position; its lines are visual lines, wrapped
// lines counting. Knows nothing of pixels on the screen.
class TextMap {
public:
    explicit TextMap(const QTextDocument& document) : m_document(document) {}

    // Paragraphs are laid out lazily; until all are, the visual line count is wrong.
    void markDirty() { m_layoutDirty = true; }
    void ensureLayout();

    int lineCount();
    VisualLine line(int number); // number within 0 .. lineCount() - 1
    int lineStart(int number);   // its first character's stored index; -1 for no such line

    int storedLength() const;
    int storedFromWidget(int position) const;
    int widgetFromStored(int index) const;
    // A paragraph's layout holds the composition inside its text; document offsets skip it.
    static int layoutFromOffset(const QTextBlock& block, int offset);
    static int offsetFromLayout(const QTextBlock& block, int position);

    std::u16string text() const;
    // What the input method is composing in the caret's paragraph, at its stored index.
    Composition composition(const QTextBlock& caretBlock) const;

private:
    const QTextDocument& m_document;
    bool m_layoutDirty = true;
};

} // namespace pagelet
