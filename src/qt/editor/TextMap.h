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

    // Paragraphs are laid out lazily: one not laid out yet counts as the lines it had when
    // last laid out (one at first). These lay out just what is asked, so the lines from
    // first on (count of them) are exact, and so is the total when they reach the end.
    void ensureLines(int first, int count);
    static void ensureBlock(const QTextBlock& block);

    int lineCount() const;
    VisualLine line(int number); // number within 0 .. lineCount() - 1, laid out
    int lineStart(int number);   // its first character's stored index; -1 for no such line

    int storedLength() const;
    int storedFromWidget(int position) const;
    int widgetFromStored(int index) const;
    // A paragraph's layout holds the composition inside its text; document offsets skip it.
    static int layoutFromOffset(const QTextBlock& block, int offset);
    static int offsetFromLayout(const QTextBlock& block, int position);

    std::u16string text() const;
    std::u16string text(int start, int end) const; // stored indices
    // What the input method is composing in the caret's paragraph, at its stored index.
    Composition composition(const QTextBlock& caretBlock) const;

private:
    const QTextDocument& m_document;
};

} // namespace pagelet
