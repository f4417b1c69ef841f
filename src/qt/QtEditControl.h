#pragma once
#include "platform/EditControl.h"

#include <QPlainTextEdit>

namespace pagelet {

class DiaryEdit;

// The edit control on QPlainTextEdit.
class QtEditControl : public QPlainTextEdit, public EditControl {
    Q_OBJECT
public:
    explicit QtEditControl(QWidget* parent);

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
    void setFocus() override;
    void showCaret() override;
    void hideCaret() override;
    void setCaretPos(Point at) override;
    void showScrollBar(bool show) override;
    ScrollInfo scrollInfo() override;
    void setScrollPos(int position) override;
    void invalidate() override;
    int scrollBarWidth() override;

private:
    DiaryEdit* m_editor = nullptr;
};

} // namespace pagelet
