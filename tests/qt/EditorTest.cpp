#include "EditorRig.h"

#include "app/MainDialog.h"
#include "base/Text.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace pagelet;
using namespace pagelet::editortest;

namespace {

// n short lines "1" to "n", CR LF between them.
std::u16string numbered(int n, const std::u16string& tail = u"")
{
    std::u16string out;
    for (int i = 1; i <= n; ++i) {
        if (i > 1)
            out += u"\r\n";
        out += fromAscii(std::to_string(i)) + tail;
    }
    return out;
}

int firstShownLine(EditorRig& rig)
{
    return rig.control->firstVisibleLine();
}

} // namespace

TEST(EditorWidget, ScrollBarComesWithTheLineThatNoLongerFits)
{
    struct Case {
        int height;
        int lines;
        bool typed; // the last line came from the user pressing Enter
        bool bar;
    };
    const std::vector<Case> cases = {
        // Ten lines fill 140 pixels exactly: no bar when loaded, but typing the tenth shows it.
        {140, 10, false, false},
        {140, 11, false, true},
        {140, 9, true, false},
        {140, 10, true, true},
        // 150 pixels show part of an eleventh line: from eleven lines on, both ways.
        {150, 10, false, false},
        {150, 11, false, true},
        {150, 10, true, false},
        {150, 11, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "H " << c.height << " lines " << c.lines << " typed " << c.typed);
        EditorRig rig({10, 30, 230, 30 + c.height});
        if (c.typed) {
            rig.editor.setText(numbered(c.lines - 1));
            rig.editor.setEditable(true);
            rig.key(Qt::Key_End, Qt::ControlModifier);
            rig.key(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        } else {
            rig.editor.setText(numbered(c.lines));
        }
        ASSERT_EQ(rig.editor.lineCount, c.lines);
        EXPECT_EQ(rig.editor.scrollBarShown, c.bar);
        EXPECT_EQ(rig.bar().isVisible(), c.bar);
        // The drawn page and the widget's own view stay together.
        EXPECT_EQ(rig.editor.firstLine, firstShownLine(rig));
    }
}

TEST(EditorWidget, TextLoadedBeforeTheWindowShowsIsLaidOutAgainWhenItDoes)
{
    QWidget window;
    window.resize(240, 270);
    QtGraphics graphics;
    auto* control = new QtEditControl(&window);
    DiaryEdit editor(*control, graphics);
    control->attach(&editor);
    editor.create({10, 30, 230, 170});
    // Start-up loads today's page before the window is on screen.
    editor.setText(u"A long first paragraph that will surely need several lines once it is wrapped at the "
                   u"width of the editor, which it cannot know before it is shown.\r\nend");
    window.show();
    QApplication::processEvents();
    EXPECT_GT(editor.lineCount, 3);
    EXPECT_EQ(editor.lineCount, control->lineCount());
    control->attach(nullptr);
}

TEST(EditorWidget, EachSelectedLineGetsOneRectangleLineHeightHigh)
{
    struct Case {
        int start, end;
        int rects;
    };
    // "abcd" / "efgh" / "ijkl"
    const std::vector<Case> cases = {{1, 3, 1}, {1, 13, 3}, {0, 4, 1}, {2, 2, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << ".." << c.end);
        EditorRig rig;
        rig.editor.setText(u"abcd\r\nefgh\r\nijkl");
        rig.control->setSelection(c.start, c.end);
        ASSERT_EQ(static_cast<int>(rig.editor.selectionRects.size()), c.rects);
        for (int i = 0; i < c.rects; ++i) {
            const auto& r = *rig.editor.selectionRects[static_cast<std::size_t>(i)];
            EXPECT_EQ(r.top, DiaryEdit::kInset + 14 * i);
            EXPECT_EQ(r.height(), 14);
            EXPECT_EQ(r.left, i == 0 ? rig.control->posFromChar(c.start).x : DiaryEdit::kInset);
        }
        if (c.rects > 0) {
            EXPECT_EQ(rig.editor.selectionRects.back()->right, rig.control->posFromChar(c.end).x);
        }
    }
}

TEST(EditorWidget, LinesSitOnTheirRowsInTheModesColour)
{
    struct Case {
        const char* what;
        bool editable;
        int scrollTo;
        std::vector<int> inkedRows; // drawn rows holding a full block
    };
    // Lines 0, 2, 3 and 5 hold a block; 1 and 4 are empty.
    std::u16string text = u"█\r\n\r\n█\r\n█\r\n\r\n█";
    for (int i = 0; i < 20; ++i)
        text += u"\r\n"; // empty lines to scroll into
    const std::vector<Case> cases = {
        {"edit mode from the top", true, 0, {0, 2, 3, 5}},
        {"view mode from the top", false, 0, {0, 2, 3, 5}},
        {"scrolled by two lines", true, 2, {0, 1, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EditorRig rig;
        rig.editor.setText(text);
        rig.editor.setEditable(c.editable);
        rig.editor.showCaret(false);
        rig.bar().setValue(c.scrollTo);
        EXPECT_EQ(rig.editor.firstLine, c.scrollTo);
        const QImage shot = rig.shot();
        const Color mine = c.editable ? kEditInk : kViewInk;
        const Color other = c.editable ? kViewInk : kEditInk;
        std::vector<int> want;
        for (int row : c.inkedRows)
            for (int y = 0; y < 14; ++y)
                want.push_back(DiaryEdit::kInset + 14 * row + y);
        EXPECT_EQ(inkRows(shot.copy(0, 0, 30, 2 + 14 * 6), mine), want);
        EXPECT_TRUE(inkRows(shot, other).empty());
    }
}

TEST(EditorWidget, EmptyPageShowsTheBarePaper)
{
    EditorRig rig;
    rig.editor.setText(u"");
    rig.editor.showCaret(false);
    EXPECT_EQ(rig.shot(), rig.paperUnder());
}

TEST(EditorWidget, SelectionTurnsWhatTheUserSeesInsideOut)
{
    for (const bool editable : {true, false}) {
        SCOPED_TRACE(editable);
        EditorRig rig;
        rig.editor.setText(u"██ ab\r\ncd ██ & ef\r\ngh");
        rig.editor.setEditable(editable);
        rig.editor.showCaret(false);
        const QImage plain = rig.shot();
        rig.control->setSelection(1, 13);
        const QImage selected = rig.shot();
        if (!editable) {
            EXPECT_EQ(selected, plain); // no highlight in view mode
            continue;
        }
        const Point from = rig.control->posFromChar(1);
        const int firstRight = rig.control->posFromChar(5).x; // where the first line's text ends
        const Point to = rig.control->posFromChar(13);
        const QImage paper = rig.paperUnder();
        int inverted = 0;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) {
                const int line = (y - DiaryEdit::kInset) / 14;
                const bool inside = y >= DiaryEdit::kInset && line <= 1 &&
                                    (line == 0 ? x >= from.x && x < firstRight : x >= DiaryEdit::kInset && x < to.x);
                const QRgb want = inside ? (plain.pixel(x, y) ^ paper.pixel(x, y)) | 0xFF000000 : plain.pixel(x, y);
                if (selected.pixel(x, y) != want) {
                    ADD_FAILURE() << "pixel " << x << "," << y;
                    return;
                }
                inverted += inside;
            }
        EXPECT_GT(inverted, 0);
        // Selected paper without ink turns black: the picture under it is XORed with itself.
        EXPECT_EQ(QColor(selected.pixel(to.x - 2, DiaryEdit::kInset + 14 + 7)), QColor(Qt::black));
    }
}

TEST(EditorWidget, RelayoutShowsTheEndOfALongPageOrTheTopOfAShortOne)
{
    struct Case {
        int lines;
        int newHeight;
        bool bar;
    };
    const std::vector<Case> cases = {{30, 84, true}, {30, 140, true}, {5, 84, false}, {6, 84, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lines << " lines in " << c.newHeight);
        EditorRig rig;
        rig.editor.setText(numbered(c.lines));
        rig.bar().setValue(2);
        rig.editor.area.bottom = rig.editor.area.top + c.newHeight;
        rig.control->moveTo(rig.editor.area);
        rig.editor.relayout();
        EXPECT_EQ(rig.editor.scrollBarShown, c.bar);
        EXPECT_EQ(rig.editor.lastLineCount, c.lines);
        EXPECT_EQ(rig.editor.firstLine, firstShownLine(rig));
        if (c.bar) {
            // The last line is the last one that fits.
            EXPECT_EQ(rig.editor.firstLine, rig.bar().maximum());
            const ScrollInfo info = rig.control->scrollInfo();
            EXPECT_EQ(rig.editor.firstLine, info.maximum - info.page + 1);
            EXPECT_EQ(info.maximum, c.lines - 1);
        } else {
            EXPECT_EQ(rig.editor.firstLine, 0);
        }
    }
}

TEST(EditorWidget, ScrollingStopsAtTheTopAndAtTheLastPage)
{
    EditorRig rig;
    rig.editor.setText(numbered(30));
    const int last = rig.bar().maximum();
    ASSERT_GT(last, 0);
    struct Step {
        QAbstractSlider::SliderAction action;
        int want;
    };
    const int page = rig.bar().pageStep();
    ASSERT_GT(last, 2 * page);
    const std::vector<Step> steps = {
        {QAbstractSlider::SliderSingleStepSub, 0},
        {QAbstractSlider::SliderSingleStepAdd, 1},
        {QAbstractSlider::SliderPageStepAdd, 1 + page},
        {QAbstractSlider::SliderPageStepAdd, std::min(1 + 2 * page, last)},
        {QAbstractSlider::SliderPageStepAdd, last},
        {QAbstractSlider::SliderSingleStepAdd, last},
        {QAbstractSlider::SliderPageStepSub, last - page},
        {QAbstractSlider::SliderToMinimum, 0},
        {QAbstractSlider::SliderToMaximum, last},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << "action " << s.action);
        rig.bar().triggerAction(s.action);
        EXPECT_EQ(rig.editor.firstLine, s.want);
        EXPECT_EQ(firstShownLine(rig), s.want);
        EXPECT_FALSE(rig.editor.caretShown); // scrolling hides it until the next tap
    }
}

TEST(EditorWidget, WheelKeysAndTapsKeepThePageWithTheControl)
{
    EditorRig rig;
    rig.editor.setText(numbered(40, u" xyz"));
    rig.wheel(1);
    EXPECT_EQ(rig.editor.firstLine, 3);
    EXPECT_EQ(firstShownLine(rig), 3);

    // A tap on a drawn line puts the caret on that line, though the widget lays it out
    // a little higher once scrolled.
    for (const int row : {0, 1, 5}) {
        rig.press({3, DiaryEdit::kInset + 14 * row + 13}); // the drawn line's last pixel row
        int start = 0, end = 0;
        rig.control->getSelection(start, end);
        EXPECT_EQ(start, rig.control->lineIndex(3 + row)) << "row " << row;
        EXPECT_TRUE(rig.editor.caretShown);
        const QRect caret = rig.control->caretRect();
        EXPECT_EQ(caret.top(), DiaryEdit::kInset + 14 * row) << "row " << row;
    }

    // Walking the caret past the bottom scrolls the widget; the page goes with it.
    for (int i = 0; i < 12; ++i)
        rig.key(Qt::Key_Down);
    EXPECT_GT(firstShownLine(rig), 3);
    EXPECT_EQ(rig.editor.firstLine, firstShownLine(rig));
    rig.key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(rig.editor.firstLine, rig.bar().maximum());
}

TEST(EditorWidget, CaretIsDrawnInvertedOnThePageGrid)
{
    EditorRig rig;
    rig.editor.setText(numbered(30));
    rig.bar().setValue(4);
    rig.control->setSelection(rig.control->lineIndex(6) + 1, rig.control->lineIndex(6) + 1);
    rig.editor.showCaret(true);
    const QRect caret = rig.control->caretRect();
    ASSERT_FALSE(caret.isEmpty());
    EXPECT_EQ(caret.top(), DiaryEdit::kInset + 14 * 2);
    EXPECT_EQ(caret.height(), 14);
    EXPECT_EQ(caret.left(), rig.control->posFromChar(rig.control->lineIndex(6) + 1).x);
    const QImage with = rig.shot();
    rig.editor.showCaret(false);
    rig.editor.showCaret(false);
    EXPECT_TRUE(rig.control->caretRect().isEmpty());
    const QImage without = rig.shot();
    const QPoint probe(caret.left(), caret.top() + 1);
    EXPECT_EQ(with.pixel(probe) & 0xFFFFFF, ~without.pixel(probe) & 0xFFFFFF);
    rig.editor.showCaret(true);
    EXPECT_EQ(rig.shot().pixel(probe), with.pixel(probe));
}

TEST(EditorWidget, LoadingKeepsSavedAndTheFirstKeyClearsIt)
{
    EditorRig rig;
    for (const bool before : {true, false}) {
        rig.editor.saved = before;
        rig.editor.setText(u"어제의 일기");
        EXPECT_EQ(rig.editor.saved, before);
    }
    rig.editor.saved = true;
    rig.editor.setEditable(true);
    rig.key(Qt::Key_End, Qt::ControlModifier);
    rig.type("!");
    EXPECT_FALSE(rig.editor.saved);
    EXPECT_EQ(rig.editor.text, u"어제의 일기!");
}

TEST(EditorWidget, ModesSetTheWidgetsReadOnlyStateAndCaret)
{
    EditorRig rig; // created read-only, then made writable by the first setEditable(true)
    EXPECT_FALSE(rig.control->isReadOnly());
    EXPECT_TRUE(rig.editor.editable);
    rig.editor.setText(u"abc");
    rig.editor.setEditable(false);
    EXPECT_TRUE(rig.control->isReadOnly());
    EXPECT_TRUE(rig.control->caretRect().isEmpty());
    rig.type("x");
    EXPECT_EQ(rig.editor.text, u"abc");
    rig.editor.setEditable(true);
    EXPECT_FALSE(rig.control->isReadOnly());
    rig.type("x");
    EXPECT_EQ(rig.editor.text, u"xabc");
}

TEST(EditorWidget, KoreanComesThroughTheInputMethod)
{
    EditorRig rig;
    rig.editor.setText(u"날씨: ");
    rig.editor.setEditable(true);
    rig.key(Qt::Key_End, Qt::ControlModifier);
    rig.editor.showCaret(false);
    const QImage before = rig.shot();
    const int at = rig.control->posFromChar(4).x;

    // While composing, the syllable is on the page but not yet in the text.
    for (const QString& step : {QStringLiteral("ㅁ"), QStringLiteral("마"), QStringLiteral("맑")}) {
        rig.compose(step);
        EXPECT_EQ(rig.editor.text, u"날씨: ");
        EXPECT_EQ(rig.control->composition().text, fromQString(step));
        EXPECT_EQ(rig.control->composition().at, 4);
    }
    const QImage composing = rig.shot();
    EXPECT_NE(composing, before);
    EXPECT_EQ(composing.copy(0, 0, at, 16), before.copy(0, 0, at, 16));

    rig.commit(QStringLiteral("맑음"));
    rig.commit(QStringLiteral(" 오늘은 산책을 했다."));
    EXPECT_EQ(rig.editor.text, u"날씨: 맑음 오늘은 산책을 했다.");
    EXPECT_TRUE(rig.control->composition().text.empty());
    EXPECT_FALSE(rig.editor.saved);
    // The committed sentence is drawn where the composition was.
    EXPECT_EQ(rig.shot().copy(0, 0, 40, 16), composing.copy(0, 0, 40, 16));
}

TEST(EditorWidget, IndicesCountCrLfBreaksAndVisualLines)
{
    EditorRig rig({10, 30, 110, 170}); // narrow: long lines wrap
    const std::u16string text = u"one two three four five six\r\n\r\nseven\u00A0eight";
    rig.editor.setText(text);
    EXPECT_EQ(rig.control->text(), text); // breaks and no-break spaces as stored
    const int count = rig.control->lineCount();
    ASSERT_GT(count, 3); // the first paragraph wrapped
    EXPECT_EQ(rig.control->lineIndex(0), 0);
    EXPECT_EQ(rig.control->lineIndex(count), -1);
    EXPECT_EQ(rig.control->lineIndex(count - 2), 29); // the empty line after the first CR LF
    EXPECT_EQ(rig.control->lineIndex(count - 1), 31);
    for (int line = 1; line < count - 2; ++line) { // wrapped lines start after a blank
        const int start = rig.control->lineIndex(line);
        EXPECT_EQ(text[static_cast<std::size_t>(start - 1)], u' ') << line;
        EXPECT_EQ(rig.control->posFromChar(start), (Point {DiaryEdit::kInset, DiaryEdit::kInset + 14 * line}));
    }

    struct Case {
        int start, end;
        int wantStart, wantEnd;
    };
    const std::vector<Case> cases = {
        {0, 3, 0, 3},
        {28, 31, 27, 31}, // the LF of a break counts as its CR
        {30, 42, 29, 42},
        {0, 999, 0, 42},
    };
    for (const auto& c : cases) {
        rig.control->setSelection(c.start, c.end);
        int start = 0, end = 0;
        rig.control->getSelection(start, end);
        EXPECT_EQ(start, c.wantStart) << c.start;
        EXPECT_EQ(end, c.wantEnd) << c.end;
    }
    EXPECT_NE(rig.control->posFromChar(42), (Point {-1, -1}));
    EXPECT_EQ(rig.control->posFromChar(43), (Point {-1, -1}));

    // Lone breaks of a page edited elsewhere come back as CR LF, so indices stay ours.
    rig.editor.setText(u"a\nb\rc");
    EXPECT_EQ(rig.editor.text, u"a\r\nb\r\nc");
}

TEST(EditorWidget, LineHeightFromTheSystemFontIsTheWidgetsOwnSpacing)
{
    EditorRig rig;
    QtGraphics graphics;
    rig.editor.setText(u"Latin line\r\n한글 줄\r\nmixed 섞인 줄");
    const int height = lineHeightFor(graphics.systemFontHeight());
    for (QTextBlock b = rig.control->document()->begin(); b.isValid(); b = b.next()) {
        rig.control->document()->documentLayout()->blockBoundingRect(b);
        EXPECT_EQ(b.layout()->lineAt(0).height(), height) << b.text().toStdString();
    }
}

TEST(EditorWidget, WithoutPaperTheWindowShowsThroughAndNothingIsDrawn)
{
    EditorRig rig;
    QPalette palette = rig.window.palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 255));
    rig.window.setPalette(palette);
    rig.window.setAutoFillBackground(true);
    rig.editor.background = nullptr;
    rig.type("words nobody sees");
    rig.editor.showCaret(false);
    const QImage shot = rig.shot();
    QImage blue(shot.size(), QImage::Format_RGB32);
    blue.fill(QColor(0, 0, 255));
    EXPECT_EQ(shot, blue);
    EXPECT_EQ(rig.editor.text, u"words nobody sees");
}
