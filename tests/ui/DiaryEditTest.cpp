#include "app/SoftKeyboard.h"
#include "base/Text.h"
#include "fakes/Fakes.h"
#include "ui/DiaryEdit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace pagelet;
using namespace pagelet::fakes;

namespace {

// Visual lines given by their first characters; a monospace grid of 6 x 14 pixels from (2, 2).
class ScriptedEdit : public FakeEditControl {
public:
    int lineCount() override { return static_cast<int>(starts.size()); }
    int lineIndex(int line) override
    {
        return line >= 0 && line < lineCount() ? starts[static_cast<std::size_t>(line)] : -1;
    }
    Point posFromChar(int index) override
    {
        if (index < 0 || index > static_cast<int>(content.size()))
            return {-1, -1};
        if (index > 0 && index < static_cast<int>(content.size()) && content[static_cast<std::size_t>(index)] == u'\n')
            --index; // the LF of a break sits where its CR does
        const auto it = std::upper_bound(starts.begin(), starts.end(), index) - 1;
        const int line = static_cast<int>(it - starts.begin());
        return {2 + 6 * (index - *it), 2 + 14 * (line - firstVisible)};
    }
    Composition composition() override { return composing; }

    std::vector<int> starts {0};
    Composition composing;
};

struct Op {
    std::string what; // "copy", "text", "xor", "screen"
    Rect rect;
    Point src;
    std::u16string run;
    Color color = 0;
    friend bool operator==(const Op&, const Op&) = default;
};

class RecordingSurface : public Surface {
public:
    RecordingSurface(Size s, std::vector<Op>& log) : s(s), log(log) {}
    Size size() const override { return s; }
    void fill(const Rect& r, Color c) override { log.push_back({"fill", r, {}, {}, c}); }
    void copyBitmap(const Bitmap&, Point src, const Rect& dst) override { log.push_back({"copy", dst, src, {}, 0}); }
    void copySurface(const Surface& source, Point dst) override
    {
        log.push_back({"screen", {dst.x, dst.y, dst.x + source.size().width, dst.y + source.size().height}, {}, {}, 0});
    }
    void xorBitmap(const Bitmap&, Point src, const Rect& dst) override { log.push_back({"xor", dst, src, {}, 0}); }
    void drawCell(const ImageStrip&, int, Point) override {}
    void drawCellSelected(const ImageStrip&, int, Point) override {}
    void drawSunkenEdge(const Rect&) override {}
    void drawText(const Rect& r, std::u16string_view run, Color c) override
    {
        log.push_back({"text", r, {}, std::u16string(run), c});
    }
    Size s;
    std::vector<Op>& log;
};

class RecordingGraphics : public FakeGraphics {
public:
    std::unique_ptr<Surface> makeSurface(Size size) override
    {
        made.push_back(size);
        return std::make_unique<RecordingSurface>(size, log);
    }
    std::vector<Op> log;
    std::vector<Size> made;
};

// "ab cd" wraps after the blank, "efgh" inside the word; then an empty line and "ij".
const std::u16string kPage = u"ab cd\r\nefgh\r\n\r\nij";
const std::vector<int> kStarts = {0, 3, 7, 9, 13, 15};

struct Rig {
    Rig()
    {
        edit.content = kPage;
        edit.starts = kStarts;
        editor.create({10, 20, 110, 76}); // W 100, H 56: four whole lines
        editor.background = &picture;
        editor.text = kPage;
        editor.lineCount = static_cast<int>(kStarts.size());
        editor.editTextColor = 0x0000C0;
        editor.viewTextColor = 0xC00000;
    }
    std::vector<Op> paint()
    {
        graphics.log.clear();
        RecordingSurface screen({100, 56}, screenLog);
        editor.OnPaint(screen);
        std::vector<Op> all = graphics.log;
        all.insert(all.end(), screenLog.begin(), screenLog.end());
        screenLog.clear();
        return all;
    }
    std::vector<Rect> rects() const
    {
        std::vector<Rect> out;
        for (const auto& r : editor.selectionRects)
            out.push_back({r->left, r->top, r->right, r->bottom});
        return out;
    }

    ScriptedEdit edit;
    RecordingGraphics graphics;
    DiaryEdit editor {edit, graphics};
    std::unique_ptr<Bitmap> picture = std::make_unique<FakeBitmap>(Size {240, 270});
    std::vector<Op> screenLog;
};

Op text(int top, int right, std::u16string run, Color c)
{
    return {"text", {2, top, right, top + 14}, {}, std::move(run), c};
}

} // namespace

TEST(DiaryEditPaint, DrawsTheShownLinesOverThePictureUnderTheEditor)
{
    const Color edit = 0x0000C0;
    const Color view = 0xC00000;
    struct Case {
        const char* what;
        int firstLine;
        bool scrollBar;
        bool editable;
        std::vector<Op> lines;
    };
    const std::vector<Case> cases = {
        {"top of the page: the wrap blank is drawn, the break is not", 0, false, true,
         {text(2, 100, u"ab ", edit), text(16, 100, u"cd", edit), text(30, 100, u"ef", edit), text(44, 100, u"gh", edit)}},
        {"a word wrapped inside keeps its last letter; the last line runs to the end", 2, false, true,
         {text(2, 100, u"ef", edit), text(16, 100, u"gh", edit), text(44, 100, u"ij", edit)}},
        {"the scroll bar takes its width; view colour", 1, true, false,
         {text(2, 84, u"cd", view), text(16, 84, u"ef", view), text(30, 84, u"gh", view)}},
        {"past the last line nothing more is drawn", 5, false, true, {text(2, 100, u"ij", edit)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.editor.firstLine = c.firstLine;
        rig.editor.scrollBarShown = c.scrollBar;
        rig.editor.editable = c.editable;
        rig.editor.needsRedraw = true;
        std::vector<Op> want = {{"copy", {0, 0, 100, 56}, {10, 20}, {}, 0}};
        want.insert(want.end(), c.lines.begin(), c.lines.end());
        want.push_back({"screen", {0, 0, 100, 56}, {}, {}, 0});
        EXPECT_EQ(rig.paint(), want);
        EXPECT_FALSE(rig.editor.needsRedraw);
        EXPECT_EQ(rig.editor.lineRect, (Rect {2, 2, c.scrollBar ? 84 : 100, 56}));
    }
}

TEST(DiaryEditPaint, DrawsNothingWithoutTheFlagOrAPicture)
{
    struct Case {
        const char* what;
        bool flag;
        bool hasPicture;
        bool pictureLoaded;
    };
    const std::vector<Case> cases = {
        {"flag clear: a repaint the platform asks for costs nothing", false, true, true},
        {"no background reference", true, false, false},
        {"background without a bitmap", true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        std::unique_ptr<Bitmap> none;
        rig.editor.background = !c.hasPicture ? nullptr : c.pictureLoaded ? &rig.picture : &none;
        rig.editor.needsRedraw = c.flag;
        EXPECT_TRUE(rig.paint().empty());
        EXPECT_EQ(rig.editor.needsRedraw, c.flag);
    }
}

TEST(DiaryEditPaint, EmptyTextShowsTheBarePicture)
{
    Rig rig;
    rig.edit.content.clear();
    rig.edit.starts = {0};
    rig.editor.setText(u"");
    EXPECT_FALSE(rig.editor.scrollBarShown);
    EXPECT_EQ(rig.editor.firstLine, 0);
    const std::vector<Op> want = {{"copy", {0, 0, 100, 56}, {10, 20}, {}, 0}, {"screen", {0, 0, 100, 56}, {}, {}, 0}};
    EXPECT_EQ(rig.paint(), want);
}

TEST(DiaryEditPaint, CompositionIsDrawnInsideItsLine)
{
    struct Case {
        int at;
        std::vector<Op> lines;
    };
    const Color c = 0x0000C0;
    const std::vector<Case> cases = {
        {4, {text(2, 100, u"ab ", c), text(16, 100, u"c한d", c), text(30, 100, u"ef", c), text(44, 100, u"gh", c)}},
        {5, {text(2, 100, u"ab ", c), text(16, 100, u"cd한", c), text(30, 100, u"ef", c), text(44, 100, u"gh", c)}},
        {13, {text(2, 100, u"ab ", c), text(16, 100, u"cd", c), text(30, 100, u"ef", c), text(44, 100, u"gh", c)}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.at);
        Rig rig;
        rig.edit.composing = {u"한", k.at};
        rig.editor.needsRedraw = true;
        auto ops = rig.paint();
        std::erase_if(ops, [](const Op& op) { return op.what != "text"; });
        EXPECT_EQ(ops, k.lines);
    }
}

TEST(DiaryEditPaint, SelectionIsXoredWithThePictureUnderItInEditModeOnly)
{
    for (const bool editable : {true, false}) {
        SCOPED_TRACE(editable);
        Rig rig;
        rig.editor.editable = editable;
        rig.edit.selStart = 4; // "d" on the second line through "e" on the third
        rig.edit.selEnd = 8;
        rig.editor.needsRedraw = true;
        std::vector<Op> xors;
        for (const auto& op : rig.paint())
            if (op.what == "xor")
                xors.push_back(op);
        std::vector<Op> want;
        if (editable)
            want = {{"xor", {8, 16, 14, 30}, {18, 36}, {}, 0}, {"xor", {2, 30, 8, 44}, {12, 50}, {}, 0}};
        EXPECT_EQ(xors, want);
        EXPECT_TRUE(rig.editor.selectionRects.empty());
    }
}

TEST(DiaryEditPaint, ThePictureIsMadeAgainWhenTheAreaChangesSize)
{
    Rig rig;
    rig.paint();
    rig.editor.needsRedraw = true;
    rig.paint();
    rig.editor.area.bottom = 62;
    rig.editor.needsRedraw = true;
    const auto ops = rig.paint();
    EXPECT_EQ(rig.graphics.made, (std::vector<Size> {{100, 56}, {100, 42}}));
    EXPECT_EQ(ops.front().rect, (Rect {0, 0, 100, 42}));
}

TEST(DiaryEditSelection, OneRectanglePerSelectedLineFromFirstToAfterLast)
{
    struct Case {
        const char* what;
        int start, end;
        int firstVisible;
        std::vector<Rect> want;
    };
    const std::vector<Case> cases = {
        {"inside one line", 0, 2, 0, {{2, 2, 14, 16}}},
        {"one character", 4, 5, 0, {{8, 16, 14, 30}}},
        {"over three lines", 1, 8, 0, {{8, 2, 14, 16}, {2, 16, 14, 30}, {2, 30, 8, 44}}},
        {"ending where the next line starts", 7, 9, 0, {{2, 30, 8, 44}, {2, 44, 2, 58}}},
        {"through the end of the text", 15, 17, 2, {{2, 44, 14, 58}}},
        {"lines scrolled out of view get none", 0, 17, 3, {{2, 2, 14, 16}, {2, 16, 2, 30}, {2, 30, 14, 44}}},
        {"no selection", 5, 5, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.edit.selStart = c.start;
        rig.edit.selEnd = c.end;
        rig.edit.firstVisible = c.firstVisible;
        rig.editor.selectionRects.push_back(std::make_unique<SelectionRect>(0, 0, 1, 1)); // a stale one
        rig.editor.needsRedraw = false;
        const int invalidations = rig.edit.invalidations;
        rig.editor.CtlColor();
        EXPECT_EQ(rig.rects(), c.want);
        EXPECT_TRUE(rig.editor.needsRedraw);
        EXPECT_EQ(rig.edit.invalidations, invalidations + 1);
    }
}

TEST(DiaryEditSelection, ViewModeAsksForNothing)
{
    Rig rig;
    rig.editor.setEditable(false);
    rig.edit.selStart = 0;
    rig.edit.selEnd = 5;
    rig.editor.needsRedraw = false;
    const int invalidations = rig.edit.invalidations;
    rig.editor.CtlColor();
    EXPECT_TRUE(rig.editor.selectionRects.empty());
    EXPECT_FALSE(rig.editor.needsRedraw);
    EXPECT_EQ(rig.edit.invalidations, invalidations);
}

TEST(DiaryEditScroll, EachCodeMovesTheFirstLineWithinItsLimits)
{
    struct Case {
        int code;
        int maximum;
        int cur;
        int track;
        int want;
    };
    // Thirty lines, ten in view: the first line runs from 0 to 20.
    const std::vector<Case> cases = {
        {ScrollLineUp, 29, 0, 0, 0},      {ScrollLineUp, 29, 5, 5, 4},      {ScrollLineDown, 29, 19, 19, 20},
        {ScrollLineDown, 29, 20, 20, 20}, {ScrollPageUp, 29, 3, 3, 0},      {ScrollPageUp, 29, 15, 15, 5},
        {ScrollPageDown, 29, 5, 5, 15},   {ScrollPageDown, 29, 15, 15, 20}, {ScrollThumbPosition, 29, 2, 7, 7},
        {ScrollThumbTrack, 29, 2, 12, 12}, {8, 29, 6, 9, 6},
        // A page shorter than the view stays at the top.
        {ScrollLineDown, 5, 0, 0, 0},     {ScrollPageDown, 5, 0, 0, 0},
    };
    for (const auto& c : cases) {
        for (const bool editable : {true, false}) {
            SCOPED_TRACE(testing::Message() << "code " << c.code << " cur " << c.cur << " editable " << editable);
            Rig rig;
            rig.editor.editable = editable;
            rig.edit.info = {0, c.maximum, 10, c.cur, c.track};
            rig.editor.needsRedraw = false;
            const int hides = rig.edit.caretHides;
            rig.editor.OnVScroll(c.code, 0);
            EXPECT_EQ(rig.editor.firstLine, c.want);
            EXPECT_EQ(rig.edit.info.position, c.want);
            EXPECT_TRUE(rig.editor.needsRedraw);
            EXPECT_EQ(rig.edit.caretHides, hides + (editable ? 1 : 0));
        }
    }
}

TEST(DiaryEditScroll, AKeyBringsTheControlBackUnderThePage)
{
    Rig rig;
    rig.edit.firstVisible = 3;
    rig.editor.firstLine = 5;
    rig.editor.needsRedraw = false;
    rig.editor.OnKeyDown(0);
    EXPECT_EQ(rig.edit.firstVisible, 5);
    EXPECT_EQ(rig.editor.firstLine, 5);
    EXPECT_TRUE(rig.editor.needsRedraw);

    rig.editor.needsRedraw = false;
    const int invalidations = rig.edit.invalidations;
    rig.editor.OnKeyDown(0);
    EXPECT_FALSE(rig.editor.needsRedraw);
    EXPECT_EQ(rig.edit.invalidations, invalidations);
}

TEST(DiaryEditModes, SwitchingSetsTheControlCaretAndKeyboard)
{
    struct Case {
        const char* what;
        bool from, to, autoKeyboard, keyboardUp;
        bool readOnly;
        int raised, lowered, shows, hides;
    };
    const std::vector<Case> cases = {
        {"edit again right after creation: only writable and a repaint", true, true, true, false, false, 0, 0, 0, 0},
        {"to view mode", true, false, true, true, true, 0, 1, 0, 1},
        {"to edit mode", false, true, true, false, false, 1, 0, 1, 0},
        {"view mode again", false, false, true, false, true, 0, 0, 0, 0},
        {"to edit mode without the keyboard", false, true, false, false, false, 0, 0, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeSoftInput panel;
        setSoftKeyboardOwner(&panel);
        Rig rig; // created: read-only control made writable, keyboard not raised
        EXPECT_FALSE(rig.edit.readOnly);
        EXPECT_EQ(panel.raised, 0);
        rig.editor.autoKeyboard = false;
        rig.editor.setEditable(c.from);
        setSoftKeyboardState(c.keyboardUp);
        rig.editor.autoKeyboard = c.autoKeyboard;
        rig.editor.needsRedraw = false;
        const FakeSoftInput before = panel;
        const int shows = rig.edit.caretShows;
        const int hides = rig.edit.caretHides;
        const int invalidations = rig.edit.invalidations;
        rig.editor.setEditable(c.to);
        EXPECT_EQ(rig.edit.readOnly, c.readOnly);
        EXPECT_EQ(rig.editor.editable, c.to);
        EXPECT_EQ(panel.raised - before.raised, c.raised);
        EXPECT_EQ(panel.lowered - before.lowered, c.lowered);
        EXPECT_EQ(rig.edit.caretShows - shows, c.shows);
        EXPECT_EQ(rig.edit.caretHides - hides, c.hides);
        EXPECT_TRUE(rig.editor.needsRedraw);
        EXPECT_EQ(rig.edit.invalidations, invalidations + 1);
        setSoftKeyboardOwner(nullptr);
        setSoftKeyboardState(false);
    }
}

TEST(DiaryEditModes, ShowCaretKeepsTheControlsCallsBalanced)
{
    Rig rig;
    const int shows = rig.edit.caretShows;
    const int hides = rig.edit.caretHides;
    rig.editor.showCaret(false);
    rig.editor.showCaret(false);
    EXPECT_EQ(rig.edit.caretHides - hides, 1);
    EXPECT_FALSE(rig.editor.caretShown);
    rig.editor.showCaret(true);
    rig.editor.showCaret(true);
    EXPECT_EQ(rig.edit.caretShows - shows, 1);
    EXPECT_TRUE(rig.editor.caretShown);
}

TEST(DiaryEditText, InsertingPutsTheCaretAfterTheNewTextAndKeepsSaved)
{
    struct Case {
        int start, end;
        std::u16string want;
        int caret;
    };
    const std::vector<Case> cases = {
        {0, 0, u"[T]ab cd\r\nefgh\r\n\r\nij", 3},
        {3, 5, u"ab [T]\r\nefgh\r\n\r\nij", 6},
        {17, 17, u"ab cd\r\nefgh\r\n\r\nij[T]", 20},
        {15, 99, u"ab cd\r\nefgh\r\n\r\n[T]", 18},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        Rig rig;
        rig.editor.saved = true;
        rig.edit.selStart = c.start;
        rig.edit.selEnd = c.end;
        rig.editor.insertText(u"[T]");
        EXPECT_EQ(rig.editor.text, c.want);
        EXPECT_EQ(rig.edit.content, c.want);
        EXPECT_EQ(rig.edit.selStart, c.caret);
        EXPECT_EQ(rig.edit.selEnd, c.caret);
        EXPECT_FALSE(rig.editor.caretShown);
        EXPECT_TRUE(rig.editor.saved);
    }
}
