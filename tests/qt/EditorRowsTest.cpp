// The page editor on the real widget: selections on wrapped rows, and a paper picture that
// does not reach the editor's edge.
#include "fakes/Fakes.h"
#include "qt/editor/QtEditControl.h"
#include "qt/graphics/QtGraphics.h"
#include "qt/graphics/Zoom.h"
#include "ui/DiaryEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace pagelet;

namespace {

struct Rig {
    explicit Rig(QImage picture) : paperImage(std::move(picture)), control(new QtEditControl(&window, zoom)),
                                   editor(*control, graphics, keyboard)
    {
        window.resize(240, 270);
        control->attach(&editor);
        editor.background = &paper;
        editor.lineHeight = 14;
        editor.create({10, 30, 230, 170});
        window.show();
        QApplication::setActiveWindow(&window);
        control->setFocus();
        QApplication::processEvents();
    }
    ~Rig() { control->attach(nullptr); }

    void key(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, code, modifiers);
        QApplication::sendEvent(control, &press);
    }
    QImage shot()
    {
        editor.needsRedraw = true;
        return control->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    Zoom zoom;
    QWidget window;
    QtGraphics graphics {zoom};
    QImage paperImage;
    std::unique_ptr<Bitmap> paper = std::make_unique<QtBitmap>(paperImage);
    QtEditControl* control;
    fakes::FakeSoftInput panel;
    PanelKeyboard keyboard {panel};
    DiaryEdit editor;
};

QImage plainPaper(int width, int height)
{
    QImage paper(width, height, QImage::Format_RGB32);
    paper.fill(QColor(250, 240, 200));
    return paper;
}

} // namespace

// Each row's rectangle runs from its first selected character to the start of the character
// after its last one on that row, as the widget's own layout places them.
TEST(EditorRows, ASelectionOverWrappedRowsCoversEachRowsOwnCharacters)
{
    struct Case {
        const char* name;
        std::u16string text;
        int start, end; // -1: End, then Shift+Left three times, from the page's start
    };
    const std::u16string words = u"one two three four five six seven eight nine ten eleven twelve thirteen";
    const std::u16string solid(90, u'm');
    for (const auto& c : std::vector<Case> {{"words", words, 2, 50}, {"inside a word", solid, 3, 60},
                                            {"to the row's end", solid, -1, -1}}) {
        SCOPED_TRACE(c.name);
        Rig rig(plainPaper(240, 270));
        rig.editor.setText(c.text);
        rig.editor.setEditable(true);
        const QTextBlock block = rig.control->document()->firstBlock();
        const QTextLayout& layout = *block.layout();
        ASSERT_GE(layout.lineCount(), 2); // it wraps
        int start = c.start;
        int end = c.end;
        if (c.start < 0) {
            rig.key(Qt::Key_End);
            for (int i = 0; i < 3; ++i)
                rig.key(Qt::Key_Left, Qt::ShiftModifier);
            rig.control->getSelection(start, end);
            const QTextLine first = layout.lineAt(0);
            ASSERT_EQ(end, first.textStart() + first.textLength()); // the first row's end
            ASSERT_EQ(end - start, 3);
        } else {
            rig.control->setSelection(start, end);
        }
        std::vector<QRect> want;
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine row = layout.lineAt(i);
            const int a = std::max(start, row.textStart());
            const int b = std::min(end, row.textStart() + row.textLength());
            if (a > b)
                continue;
            const int left = static_cast<int>(std::lround(row.cursorToX(a)));
            const int right = static_cast<int>(std::lround(row.cursorToX(b)));
            want.emplace_back(QPoint(left, LineGrid::kInset + 14 * i), QPoint(right - 1, LineGrid::kInset + 14 * i + 13));
        }
        std::vector<QRect> got;
        for (const auto& r : rig.editor.selectionRects)
            got.emplace_back(QPoint(r->left, r->top), QPoint(r->right - 1, r->bottom - 1));
        EXPECT_EQ(got, want);
    }
}

// Where the picture ends the page shows the main window's blue, and nothing drawn before.
TEST(EditorRows, APaperSmallerThanThePageLeavesBlueNotOldText)
{
    Rig rig(plainPaper(120, 110));
    rig.editor.setText(std::u16string(400, u'█'));
    rig.editor.setEditable(true);
    rig.editor.showCaret(false);
    rig.shot();
    rig.editor.setText(u"");
    const QImage shot = rig.shot();
    const QPoint at = rig.control->viewport()->mapTo(&rig.window, QPoint());
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QPoint p = at + QPoint(x, y);
            const QRgb want = rig.paperImage.rect().contains(p) ? rig.paperImage.pixel(p) : qRgb(0, 0, 255);
            ASSERT_EQ(shot.pixel(x, y), want) << x << "," << y;
        }
}

// A system font too tall for the rows (the line height fell back to 14): the widget lays out
// and the page draws in a smaller size of it, so each line keeps to its own row.
TEST(EditorRows, ASystemFontTooTallForTheRowsIsShrunkToFitThem)
{
    const QFont system = QApplication::font();
    QFont tall = system;
    tall.setPixelSize(44);
    QApplication::setFont(tall);
    {
        Rig rig(plainPaper(240, 270));
        ASSERT_GT(rig.graphics.systemFontHeight(), 30);
        rig.editor.setText(u"█\r\n█\r\n█");
        rig.editor.setEditable(true);
        rig.editor.showCaret(false);
        const QImage shot = rig.shot();
        for (QTextBlock b = rig.control->document()->begin(); b.isValid(); b = b.next())
            EXPECT_LE(b.layout()->lineAt(0).height(), 14);
        std::vector<int> inked(3, 0);
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (shot.pixel(x, y) == qRgb(0, 0, 0)) {
                    const int row = (y - LineGrid::kInset) / 14;
                    ASSERT_TRUE(y >= LineGrid::kInset && row < 3) << "ink at row " << y;
                    ++inked[static_cast<std::size_t>(row)];
                }
        for (int n : inked)
            EXPECT_GT(n, 0);
    }
    QApplication::setFont(system);
}

// The time stamp is an edit at the caret: the rest of the page stays, and one undo takes the
// stamp back out.
TEST(EditorRows, AStampGoesInAtTheCaretAndOneUndoTakesItOut)
{
    Rig rig(plainPaper(240, 270));
    rig.editor.setText(u"first line\r\nsecond line");
    rig.editor.setEditable(true);
    rig.control->setSelection(6, 10); // "line" of the first line
    rig.editor.insertText(u"12 : 30 ");
    EXPECT_EQ(rig.editor.text, u"first 12 : 30 \r\nsecond line");
    int start = 0;
    int end = 0;
    rig.control->getSelection(start, end);
    EXPECT_EQ(start, 14);
    EXPECT_EQ(end, 14);
    rig.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rig.control->text(), u"first line\r\nsecond line");
}

// A page with a run too long to break at word boundaries is broken anywhere; the next page
// wraps at its blanks again.
TEST(EditorRows, AfterAPageWithAnEndlessWordWordsWrapAtBlanksAgain)
{
    Rig rig(plainPaper(240, 270));
    rig.editor.setText(std::u16string(20000, u'x'));
    EXPECT_GT(rig.control->lineCount(), 10);
    rig.editor.setText(u"one two three four five six seven eight nine ten eleven twelve thirteen");
    const QTextBlock block = rig.control->document()->firstBlock();
    rig.control->lineCount();
    ASSERT_GE(block.layout()->lineCount(), 2);
    for (int i = 0; i + 1 < block.layout()->lineCount(); ++i) {
        const QTextLine row = block.layout()->lineAt(i);
        EXPECT_EQ(block.text().at(row.textStart() + row.textLength() - 1), u' ') << "row " << i;
    }
}
