#include "qt/editor/QtStoredText.h"

#include "qt/graphics/QtGraphics.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

namespace pagelet {

QtStoredText::QtStoredText(QWidget* parent) : QPlainTextEdit(parent), m_map(*document()) {}

void QtStoredText::getSelection(int& start, int& end)
{
    const QTextCursor c = textCursor();
    start = m_map.storedFromWidget(c.selectionStart());
    end = m_map.storedFromWidget(c.selectionEnd());
}

void QtStoredText::setSelection(int start, int end)
{
    const int length = m_map.storedLength();
    QTextCursor c = textCursor();
    c.setPosition(m_map.widgetFromStored(std::clamp(start, 0, length)));
    c.setPosition(m_map.widgetFromStored(std::clamp(end, 0, length)), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void QtStoredText::setReadOnly(bool readOnly)
{
    QPlainTextEdit::setReadOnly(readOnly);
}

std::u16string QtStoredText::text()
{
    return m_map.text();
}

int QtStoredText::textLength()
{
    return m_map.storedLength();
}

std::u16string QtStoredText::textRange(int start, int end)
{
    return m_map.text(start, end);
}

void QtStoredText::replaceSelection(const std::u16string& s)
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

bool QtStoredText::keepsAsIs(std::u16string_view text)
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

void QtStoredText::setText(const std::u16string& text)
{
    const auto wrap = hasRunLongerThan(text, kLongestWord) ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (wordWrapMode() != wrap)
        setWordWrapMode(wrap);
    m_settingText = true;
    setPlainText(toQString(text)); // CR LF, CR and LF each make one break
    m_settingText = false;
}

void QtStoredText::setFocus()
{
    QWidget::setFocus(Qt::OtherFocusReason);
}

void QtStoredText::invalidate()
{
    viewport()->update();
}

void QtStoredText::commitComposition()
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

// Qt 6.4 reads the first offered format without looking whether there is one, and a clipboard
// whose owner has gone offers none. A page takes plain text only, so nothing else is pasted.
void QtStoredText::insertFromMimeData(const QMimeData* source)
{
    if (isReadOnly() || !source || !source->hasText())
        return;
    if (const QString text = source->text(); !text.isEmpty())
        insertPlainText(text);
}

} // namespace pagelet
