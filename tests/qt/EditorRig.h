#pragma once
// The page editor on the real widget, offscreen, over a paper picture whose every pixel tells
// where it came from.
#include "qt/QtEditControl.h"
#include "qt/QtGraphics.h"
#include "ui/DiaryEdit.h"

#include <QApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>

#include <memory>

namespace pagelet::editortest {

constexpr Color kEditInk = 0xC00000; // blue
constexpr Color kViewInk = 0x0000C0; // red

// Light colours that differ from pixel to pixel, so a wrong offset shows.
inline QImage makePaper()
{
    QImage paper(240, 270, QImage::Format_RGB32);
    for (int y = 0; y < paper.height(); ++y)
        for (int x = 0; x < paper.width(); ++x)
            paper.setPixel(x, y, qRgb(180 + x % 70, 190 + y % 60, 200 + (x + y) % 50));
    return paper;
}

struct EditorRig {
    explicit EditorRig(Rect area = {10, 30, 230, 170}, int lineHeight = 14)
        : control(new QtEditControl(&window)), editor(*control, graphics)
    {
        window.resize(240, 270);
        control->attach(&editor);
        editor.background = &paper;
        editor.lineHeight = lineHeight;
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
        QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
        QApplication::sendEvent(control, &release);
    }
    void type(const QString& text)
    {
        for (const QChar c : text) {
            if (c == '\n')
                key(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            else
                key(c.toUpper().unicode(), Qt::NoModifier, QString(c));
        }
    }
    // What the input method sends: a composition in progress, or committed text.
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
    void press(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent down(QEvent::MouseButtonPress, at, control->viewport()->mapToGlobal(at), Qt::LeftButton,
                         Qt::LeftButton, modifiers);
        QApplication::sendEvent(control->viewport(), &down);
        QMouseEvent up(QEvent::MouseButtonRelease, at, control->viewport()->mapToGlobal(at), Qt::LeftButton,
                       Qt::NoButton, modifiers);
        QApplication::sendEvent(control->viewport(), &up);
    }
    void wheel(int notches)
    {
        const QPoint at(20, 20);
        QWheelEvent event(at, control->viewport()->mapToGlobal(at), {}, {0, -120 * notches}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
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

    QWidget window;
    QtGraphics graphics;
    QImage paperImage = makePaper();
    std::unique_ptr<Bitmap> paper = std::make_unique<QtBitmap>(paperImage);
    QtEditControl* control;
    DiaryEdit editor;
};

inline QColor ink(Color c)
{
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

// Rows of the picture that hold a pixel of exactly this colour.
inline std::vector<int> inkRows(const QImage& image, Color c)
{
    std::vector<int> rows;
    const QRgb want = ink(c).rgb();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == want) {
                rows.push_back(y);
                break;
            }
    return rows;
}

} // namespace pagelet::editortest
