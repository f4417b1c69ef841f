#pragma once
// The page editor on the real widget, offscreen, over a paper picture whose every pixel tells
// where it came from.
#include "qt/QtEditControl.h"
#include "qt/QtGraphics.h"
#include "ui/DiaryEdit.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <memory>
#include <vector>

namespace pagelet::editortest {

constexpr Color kEditInk = 0xC00000; // blue
constexpr Color kViewInk = 0x0000C0; // red

inline QImage makePaper()
{
    QImage paper(240, 270, QImage::Format_RGB32);
    for (int y = 0; y < paper.height(); ++y)
        for (int x = 0; x < paper.width(); ++x)
            paper.setPixel(x, y, qRgb(180 + x % 70, 190 + y % 60, 200 + (x + y) % 50));
    return paper;
}

struct EditorRig {
    explicit EditorRig(Rect area = {10, 30, 230, 170}) : control(new QtEditControl(&window)), editor(*control, graphics)
    {
        window.resize(240, 270);
        control->attach(&editor);
        editor.background = &paper;
        editor.lineHeight = 14;
        editor.editTextColor = kEditInk;
        editor.viewTextColor = kViewInk;
        editor.create(area);
        window.show();
        QApplication::setActiveWindow(&window);
        control->setFocus();
        QApplication::processEvents();
    }
    ~EditorRig() { control->attach(nullptr); }

    void key(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {})
    {
        QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
        QApplication::sendEvent(control, &press);
    }
    void enter() { key(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")); }
    // What an input method sends: a composition in progress, or committed text.
    void compose(const QString& preedit)
    {
        QInputMethodEvent event(preedit, {{QInputMethodEvent::Cursor, static_cast<int>(preedit.size()), 1, {}}});
        QApplication::sendEvent(control, &event);
    }
    void commit(const QString& text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(control, &event);
    }
    void press(QPoint at)
    {
        QMouseEvent down(QEvent::MouseButtonPress, at, control->viewport()->mapToGlobal(at), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(control->viewport(), &down);
    }
    void wheel(int notches)
    {
        QWheelEvent event(QPointF(20, 20), QPointF(20, 20), {}, {0, -120 * notches}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(control->viewport(), &event);
    }

    // The editor as the screen shows it, composed afresh.
    QImage shot()
    {
        editor.needsRedraw = true;
        return control->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // The paper the editor lies on, in the viewport's pixels.
    QImage paperUnder() const
    {
        return paperImage.copy(editor.area.left, editor.area.top, control->viewport()->width(),
                               control->viewport()->height());
    }
    QScrollBar& bar() { return *control->verticalScrollBar(); }
    int shownLine() { return control->firstVisibleLine(); }

    QWidget window;
    QtGraphics graphics;
    QImage paperImage = makePaper();
    std::unique_ptr<Bitmap> paper = std::make_unique<QtBitmap>(paperImage);
    QtEditControl* control;
    DiaryEdit editor;
};

// Rows of the picture holding a pixel of exactly this colour.
inline std::vector<int> inkRows(const QImage& image, Color c)
{
    std::vector<int> rows;
    const QRgb want = qRgb(redOf(c), greenOf(c), blueOf(c));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == want) {
                rows.push_back(y);
                break;
            }
    return rows;
}

} // namespace pagelet::editortest
