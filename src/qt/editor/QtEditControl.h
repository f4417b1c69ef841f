#pragma once
#include "platform/EditControl.h"
#include "qt/editor/TextMap.h"
#include "ui/LineGrid.h"

#include <QPlainTextEdit>

namespace pagelet {

class Zoom;

class DiaryEdit;

// The edit control on QPlainTextEdit. Lines and indices are the page's (see TextMap); this
// class places them on the page's rows, forwards events and paints. The widget never paints
// itself: its paint events go to the attached DiaryEdit, and the port adds the caret.
class QtEditControl : public QPlainTextEdit, public EditControl {
    Q_OBJECT
public:
    // Placed and drawn at zoom, which must outlive it.
    QtEditControl(QWidget* parent, const Zoom& zoom);
    ~QtEditControl() override;

    void attach(DiaryEdit* editor) { m_editor = editor; }

    void create(const Rect& area) override;
    void moveTo(const Rect& area) override;
    void setMarginsZero() override;
    int lineCount() override;
    int lineIndex(int line) override;
    Point posFromChar(int index) override;
    void getSelection(int& start, int& end) override;
    void setSelection(int start, int end) override;
    void scrollCaret() override;
    int firstVisibleLine() override;
    void lineScroll(int lines) override;
    void setReadOnly(bool readOnly) override;
    std::u16string text() override;
    void setText(const std::u16string& text) override;
    bool keepsText(std::u16string_view text) override { return keepsAsIs(text); }
    // Text whose only breaks are CR LF: every other break the widget takes (a lone CR or LF, a
    // paragraph separator, a frame mark) comes back as CR LF.
    static bool keepsAsIs(std::u16string_view text);
    void setFocus() override;
    void showCaret() override;
    void hideCaret() override;
    void setCaretPos(Point at) override;
    void showScrollBar(bool show) override;
    ScrollInfo scrollInfo() override;
    void setScrollPos(int position) override;
    void invalidate() override;
    int scrollBarWidth() override;
    Composition composition() override;
    int textLength() override;
    std::u16string textRange(int start, int end) override;
    Point posOnLine(int index, int line) override;
    void replaceSelection(const std::u16string& s) override;
    Point clientOrigin() override;

    // Font and place follow the window's zoom; the page stays at area.
    void applyZoom(const Rect& area);

    // Whatever an input method is composing goes into the text now, before a command acts.
    void commitComposition();

    // Where the caret is drawn now (viewport pixels); empty while it is not drawn.
    QRect caretRect();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Every paste (keys, the menu, the middle button, a drop) comes here.
    void insertFromMimeData(const QMimeData* source) override;

private:
    LineGrid grid() const;
    void exactView();
    void fitFont();
    int drawnTop(int line) const;
    int layoutTop(int line);
    QRect caretRectAt(const QTextBlock& block, int layoutPosition);
    QPointF toControl(QPointF drawn);
    QMouseEvent toControl(const QMouseEvent& event);
    void onScrollAction(int action);
    void followView();
    void colourRequest();

    DiaryEdit* m_editor = nullptr;
    const Zoom& m_zoom;
    TextMap m_map;
    bool m_settingText = false;
    bool m_caretShown = true;
    QRect m_drawnCaret;
};

} // namespace pagelet
