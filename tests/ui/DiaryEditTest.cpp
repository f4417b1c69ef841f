// The editor's own rules over a scripted control; the real widget is tested offscreen.
#include "fakes/Fakes.h"
#include "ui/DiaryEdit.h"

#include <gtest/gtest.h>

using namespace pagelet;
using namespace pagelet::fakes;

namespace {

// Visual lines given by their first characters.
class ScriptedEdit : public FakeEditControl {
public:
    int lineCount() override { return static_cast<int>(starts.size()); }
    int lineIndex(int line) override { return line >= 0 && line < lineCount() ? starts[std::size_t(line)] : -1; }
    std::vector<int> starts {0};
};

struct Op {
    std::string what;
    Rect rect {};
    std::u16string run {};
    Color color = 0;
    friend bool operator==(const Op&, const Op&) = default;
};

// Writes down the drawing calls of the editor's off-screen picture and of the screen.
class RecordingSurface : public Surface {
public:
    RecordingSurface(Size s, std::vector<Op>& log) : s(s), log(log) {}
    Size size() const override { return s; }
    void fill(const Rect& r, Color c) override { log.push_back({"fill", r, {}, c}); }
    void copyBitmap(const Bitmap&, Point src, const Rect& dst) override { log.push_back({"copy", dst.movedTo(src.x, src.y)}); }
    void copySurface(const Surface&, Point) override { log.push_back({"screen", {}}); }
    void xorBitmap(const Bitmap&, Point, const Rect& dst) override { log.push_back({"xor", dst}); }
    void drawCell(const ImageStrip&, int, Point) override {}
    void drawCellSelected(const ImageStrip&, int, Point) override {}
    void drawSunkenEdge(const Rect&) override {}
    void drawText(const Rect& r, std::u16string_view run, Color c) override { log.push_back({"text", r, std::u16string(run), c}); }
    Size s;
    std::vector<Op>& log;
};

class RecordingGraphics : public FakeGraphics {
public:
    std::unique_ptr<Surface> makeSurface(Size size) override { return std::make_unique<RecordingSurface>(size, log); }
    std::vector<Op> log;
};

// "ab cd" wraps after the blank, "efgh" inside the word; then an empty line and "ij".
struct Rig {
    Rig()
    {
        edit.content = u"ab cd\r\nefgh\r\n\r\nij";
        edit.starts = {0, 3, 7, 9, 13, 15};
        editor.create({10, 20, 110, 76}); // 100 x 56: four whole lines
        editor.background = &picture;
        editor.text = edit.content;
        editor.lineCount = 6;
        editor.editTextColor = 0x0000C0;
        editor.viewTextColor = 0xC00000;
    }
    std::vector<Op> paint()
    {
        graphics.log.clear();
        RecordingSurface screen({100, 56}, graphics.log);
        editor.OnPaint(screen);
        return graphics.log;
    }

    ScriptedEdit edit;
    RecordingGraphics graphics;
    FakeSoftInput panel;
    PanelKeyboard keyboard {panel};
    DiaryEdit editor {edit, graphics, keyboard};
    std::unique_ptr<Bitmap> picture = std::make_unique<FakeBitmap>(Size {240, 270});
};

Op text(int top, int right, std::u16string run, Color c)
{
    return {"text", {2, top, right, top + 14}, std::move(run), c};
}

} // namespace

TEST(DiaryEditPaint, DrawsTheShownLinesOverThePictureUnderTheEditor)
{
    const Color edit = 0x0000C0, view = 0xC00000;
    struct Case {
        const char* what;
        int firstLine;
        bool scrollBar, editable;
        std::vector<Op> lines;
    };
    const Case cases[] = {
        {"a wrap blank is drawn, a break is not, a word wrapped inside keeps its last letter", 0, false, true,
         {text(2, 100, u"ab ", edit), text(16, 100, u"cd", edit), text(30, 100, u"ef", edit), text(44, 100, u"gh", edit)}},
        {"the scroll bar takes its width; the view colour; the last line runs to the end", 2, true, false,
         {text(2, 84, u"ef", view), text(16, 84, u"gh", view), text(44, 84, u"ij", view)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.editor.firstLine = c.firstLine;
        rig.editor.scrollBarShown = c.scrollBar;
        rig.editor.editable = c.editable;
        std::vector<Op> want = {{"copy", {10, 20, 110, 76}}};
        want.insert(want.end(), c.lines.begin(), c.lines.end());
        want.push_back({"screen", {}});
        EXPECT_EQ(rig.paint(), want);
        EXPECT_FALSE(rig.editor.needsRedraw);
    }
    // Nothing at all without the flag or without a picture.
    std::unique_ptr<Bitmap> none;
    for (const int variant : {0, 1, 2}) {
        Rig rig;
        rig.editor.needsRedraw = variant != 0;
        rig.editor.background = variant == 1 ? nullptr : variant == 2 ? &none : &rig.picture;
        EXPECT_TRUE(rig.paint().empty()) << variant;
    }
}

TEST(DiaryEditScroll, EachCodeMovesTheFirstLineWithinItsLimits)
{
    struct Case {
        int code, maximum, cur, track, want;
    };
    // Thirty lines, ten in view: the first line runs from 0 to 20.
    const Case cases[] = {
        {ScrollLineUp, 29, 0, 0, 0},       {ScrollLineUp, 29, 5, 5, 4},       {ScrollLineDown, 29, 19, 19, 20},
        {ScrollLineDown, 29, 20, 20, 20},  {ScrollPageUp, 29, 3, 3, 0},       {ScrollPageUp, 29, 15, 15, 5},
        {ScrollPageDown, 29, 5, 5, 15},    {ScrollPageDown, 29, 15, 15, 20},  {ScrollThumbPosition, 29, 2, 7, 7},
        {ScrollThumbTrack, 29, 2, 12, 12}, {8, 29, 6, 9, 6},
        // A page shorter than the view stays at the top.
        {ScrollLineDown, 5, 0, 0, 0},      {ScrollPageDown, 5, 0, 0, 0},
    };
    bool editable = false;
    for (const auto& c : cases) {
        editable = !editable;
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

TEST(DiaryEditModes, SwitchingSetsTheControlCaretAndKeyboard)
{
    struct Case {
        const char* what;
        bool from, to, autoKeyboard, keyboardUp;
        bool readOnly;
        int raised, lowered, shows, hides;
    };
    const Case cases[] = {
        {"edit again right after creation: only writable and a repaint", true, true, true, false, false, 0, 0, 0, 0},
        {"to view mode", true, false, true, true, true, 0, 1, 0, 1},
        {"to edit mode", false, true, true, false, false, 1, 0, 1, 0},
        {"view mode again", false, false, true, false, true, 0, 0, 0, 0},
        {"to edit mode without the keyboard", false, true, false, false, false, 0, 0, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig; // created: read-only control made writable, keyboard not raised
        EXPECT_FALSE(rig.edit.readOnly);
        rig.editor.autoKeyboard = false;
        rig.editor.setEditable(c.from);
        rig.keyboard.setState(c.keyboardUp);
        rig.editor.autoKeyboard = c.autoKeyboard;
        rig.editor.needsRedraw = false;
        const FakeSoftInput before = rig.panel;
        const FakeEditControl control = rig.edit;
        rig.editor.setEditable(c.to);
        EXPECT_EQ(rig.edit.readOnly, c.readOnly);
        EXPECT_EQ(rig.panel.raised - before.raised, c.raised);
        EXPECT_EQ(rig.panel.lowered - before.lowered, c.lowered);
        EXPECT_EQ(rig.edit.caretShows - control.caretShows, c.shows);
        EXPECT_EQ(rig.edit.caretHides - control.caretHides, c.hides);
        EXPECT_TRUE(rig.editor.needsRedraw);
        EXPECT_EQ(rig.edit.invalidations, control.invalidations + 1);
    }

    // showCaret keeps the control's calls balanced however often it is asked.
    Rig rig;
    const FakeEditControl control = rig.edit;
    rig.editor.showCaret(false);
    rig.editor.showCaret(false);
    rig.editor.showCaret(true);
    rig.editor.showCaret(true);
    EXPECT_EQ(rig.edit.caretHides - control.caretHides, 1);
    EXPECT_EQ(rig.edit.caretShows - control.caretShows, 1);
}
