#pragma once
#include "qt/editor/QtStoredText.h"
#include "ui/LineGrid.h"

#include <QMouseEvent>

namespace pagelet {

class Zoom;

// The rows side of the edit control: the widget's lines placed on the page's rows at the
// window's zoom, where the page draws them, and the scroll bar counted in those rows.
class QtPageRows : public QtStoredText {
public:
    // Placed and drawn at zoom, which must outlive it.
    QtPageRows(QWidget* parent, const Zoom& zoom);

    int lineCount() override;
    int lineIndex(int line) override;
    Point posFromChar(int index) override;
    void scrollCaret() override;
    int firstVisibleLine() override;
    void lineScroll(int lines) override;
    void setCaretPos(Point at) override;
    void showScrollBar(bool show) override;
    ScrollInfo scrollInfo() override;
    void setScrollPos(int position) override;
    int scrollBarWidth() override;
    Composition composition() override;
    Point posOnLine(int index, int line) override;
    Point clientOrigin() override;

protected:
    void fitFont();
    QRect caretRectAt(const QTextBlock& block, int layoutPosition);
    QMouseEvent toControl(const QMouseEvent& event);

    const Zoom& m_zoom;

private:
    LineGrid grid() const;
    void exactView();
    int drawnTop(int line) const;
    int layoutTop(int line);
    QPointF toControl(QPointF drawn);
};

} // namespace pagelet
