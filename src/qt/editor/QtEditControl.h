#pragma once
#include "qt/editor/QtPageRows.h"

namespace pagelet {

class Zoom;

class DiaryEdit;

// The edit control on QPlainTextEdit. Lines and indices are the page's (see TextMap, kept by
// QtStoredText); QtPageRows places them on the page's rows; this class forwards events and
// paints. The widget never paints itself: its paint events go to the attached DiaryEdit, and
// the port adds the caret.
class QtEditControl : public QtPageRows {
    Q_OBJECT
public:
    // Placed and drawn at zoom, which must outlive it.
    QtEditControl(QWidget* parent, const Zoom& zoom);
    ~QtEditControl() override;

    void create(const Rect& area) override;
    void moveTo(const Rect& area) override;
    void setMarginsZero() override;
    void showCaret() override;
    void hideCaret() override;

    // Font and place follow the window's zoom; the page stays at area.
    void applyZoom(const Rect& area);

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

private:
    void onScrollAction(int action);
    void followView();
    void colourRequest();

    bool m_caretShown = true;
    QRect m_drawnCaret;
};

} // namespace pagelet
