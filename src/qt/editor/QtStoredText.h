#pragma once
#include "platform/EditControl.h"
#include "qt/editor/TextMap.h"

#include <QPlainTextEdit>

namespace pagelet {

class DiaryEdit;

// The text side of the edit control: the page's text as it is stored (CR LF breaks, stored
// indices), kept in the widget's document through a TextMap. Where the text lies on the page
// is QtPageRows's, the widget's events QtEditControl's.
class QtStoredText : public QPlainTextEdit, public EditControl {
public:
    explicit QtStoredText(QWidget* parent);

    void attach(DiaryEdit* editor) { m_editor = editor; }

    void getSelection(int& start, int& end) override;
    void setSelection(int start, int end) override;
    void setReadOnly(bool readOnly) override;
    std::u16string text() override;
    void setText(const std::u16string& text) override;
    bool keepsText(std::u16string_view text) override { return keepsAsIs(text); }
    // Text whose only breaks are CR LF: every other break the widget takes (a lone CR or LF, a
    // paragraph separator, a frame mark) comes back as CR LF.
    static bool keepsAsIs(std::u16string_view text);
    void setFocus() override;
    void invalidate() override;
    int textLength() override;
    std::u16string textRange(int start, int end) override;
    void replaceSelection(const std::u16string& s) override;

    // Whatever an input method is composing goes into the text now, before a command acts.
    void commitComposition();

protected:
    // Every paste (keys, the menu, the middle button, a drop) comes here.
    void insertFromMimeData(const QMimeData* source) override;

    DiaryEdit* m_editor = nullptr;
    TextMap m_map;
    // The text changes by our own hand: not the user's edit.
    bool m_settingText = false;
};

} // namespace pagelet
