// The page editor on the real widget, offscreen, over a paper picture whose every pixel tells
// where it came from.
#include "app/MainDialog.h"
#include "fakes/Fakes.h"
#include "base/Text.h"
#include "qt/editor/QtEditControl.h"
#include "qt/graphics/QtGraphics.h"
#include "qt/graphics/Zoom.h"
#include "ui/DiaryEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextLayout>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <optional>

using namespace pagelet;

namespace {

constexpr Color kEditInk = 0xC00000; // blue
constexpr Color kViewInk = 0x0000C0; // red

QImage makePaper()
{
    QImage paper(240, 270, QImage::Format_RGB32);
    for (int y = 0; y < paper.height(); ++y)
        for (int x = 0; x < paper.width(); ++x)
            paper.setPixel(x, y, qRgb(180 + x % 70, 190 + y % 60, 200 + (x + y) % 50));
    return paper;
}

struct EditorRig {
    explicit EditorRig(Rect area = {10, 30, 230, 170}, bool show = true)
        : control(new QtEditControl(&window, zoom)), editor(*control, graphics, keyboard)
    {
        window.resize(240, 270);
        control->attach(&editor);
        editor.background = &paper;
        editor.lineHeight = 14;
        editor.editTextColor = kEditInk;
        editor.viewTextColor = kViewInk;
        editor.create(area);
        if (show) {
            window.show();
            QApplication::setActiveWindow(&window);
            control->setFocus();
            QApplication::processEvents();
        }
    }
    ~EditorRig() { control->attach(nullptr); }

    void key(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {})
    {
        QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
        QApplication::sendEvent(control, &press);
    }
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
    // The editor as the screen shows it, composed afresh.
    QImage shot()
    {
        editor.needsRedraw = true;
        return control->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // The paper the editor lies on, in the viewport's pixels.
    QImage paperUnder() const
    {
        const QPoint at = control->viewport()->mapTo(&window, QPoint());
        return paperImage.copy(at.x(), at.y(), control->viewport()->width(), control->viewport()->height());
    }
    QScrollBar& bar() { return *control->verticalScrollBar(); }
    int shownLine() { return control->firstVisibleLine(); }

    Zoom zoom;
    QWidget window;
    QtGraphics graphics {zoom};
    QImage paperImage = makePaper();
    std::unique_ptr<Bitmap> paper = std::make_unique<QtBitmap>(paperImage);
    QtEditControl* control;
    fakes::FakeSoftInput panel;
    PanelKeyboard keyboard {panel};
    DiaryEdit editor;
};

// Rows of the picture holding a pixel of exactly this colour.
std::vector<int> inkRows(const QImage& image, Color c)
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

// n short lines "1" to "n", CR LF between them.
std::u16string numbered(int n)
{
    std::u16string out;
    for (int i = 1; i <= n; ++i)
        out += (i > 1 ? u"\r\n" : u"") + fromAscii(std::to_string(i));
    return out;
}

} // namespace

TEST(EditorWidget, ScrollBarComesWithTheLineThatNoLongerFits)
{
    struct Case {
        int height, lines;
        bool typed; // the last line came from the user pressing Enter
        bool bar;
    };
    const Case cases[] = {
        // Ten lines fill 140 pixels exactly: no bar when loaded, but typing the tenth shows it.
        {140, 10, false, false}, {140, 11, false, true}, {140, 9, true, false}, {140, 10, true, true},
        // 150 pixels show part of an eleventh line: from eleven lines on, both ways.
        {150, 10, false, false}, {150, 11, false, true}, {150, 10, true, false}, {150, 11, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "H " << c.height << " lines " << c.lines << " typed " << c.typed);
        EditorRig rig({10, 30, 230, 30 + c.height});
        rig.editor.setText(numbered(c.typed ? c.lines - 1 : c.lines));
        if (c.typed) {
            rig.key(Qt::Key_End, Qt::ControlModifier);
            rig.key(Qt::Key_Return, Qt::NoModifier, "\r");
        }
        ASSERT_EQ(rig.editor.lineCount, c.lines);
        EXPECT_EQ(rig.editor.scrollBarShown, c.bar);
        EXPECT_EQ(rig.bar().isVisible(), c.bar);
        EXPECT_EQ(rig.editor.firstLine, rig.shownLine()); // the drawn page goes with the widget
    }
}

TEST(EditorWidget, TextLoadedBeforeTheWindowShowsIsLaidOutAgainWhenItDoes)
{
    EditorRig rig({10, 30, 230, 170}, false);
    // Start-up loads today's page before the window is on screen.
    rig.editor.setText(u"A first paragraph long enough to need several lines once it is wrapped at the width "
                       u"of the editor, which nobody knows before the window is shown.\r\nend");
    rig.window.show();
    QApplication::processEvents();
    EXPECT_GT(rig.editor.lineCount, 3);
    EXPECT_EQ(rig.editor.lineCount, rig.control->lineCount());
}

TEST(EditorWidget, LinesSitOnTheirRowsInTheModesColour)
{
    struct Case {
        bool editable;
        int scrollTo;
        std::vector<int> inkedRows;
    };
    // Lines 0, 2, 3 and 5 hold a full block; the rest are empty.
    const std::u16string text = u"█\r\n\r\n█\r\n█\r\n\r\n█" + std::u16string(40, u'\n');
    for (const auto& c : std::vector<Case> {{true, 0, {0, 2, 3, 5}}, {false, 0, {0, 2, 3, 5}}, {true, 2, {0, 1, 3}}}) {
        SCOPED_TRACE(testing::Message() << "editable " << c.editable << " scrolled " << c.scrollTo);
        EditorRig rig;
        rig.editor.setText(text);
        rig.editor.setEditable(c.editable);
        rig.editor.showCaret(false);
        rig.bar().setValue(c.scrollTo);
        EXPECT_EQ(rig.editor.firstLine, c.scrollTo);
        const QImage shot = rig.shot();
        std::vector<int> want;
        for (int row : c.inkedRows)
            for (int y = 0; y < 14; ++y)
                want.push_back(LineGrid::kInset + 14 * row + y);
        EXPECT_EQ(inkRows(shot, c.editable ? kEditInk : kViewInk), want);
        EXPECT_TRUE(inkRows(shot, c.editable ? kViewInk : kEditInk).empty());
    }
}

TEST(EditorWidget, EmptyPageShowsTheBarePaperAndNoPaperShowsTheWindow)
{
    EditorRig rig;
    rig.editor.setText(u"");
    rig.editor.showCaret(false);
    EXPECT_EQ(rig.shot(), rig.paperUnder());

    QPalette palette = rig.window.palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 255));
    rig.window.setPalette(palette);
    rig.window.setAutoFillBackground(true);
    rig.editor.background = nullptr;
    rig.commit("words nobody sees");
    rig.editor.showCaret(false);
    QImage blue(rig.paperUnder().size(), QImage::Format_RGB32);
    blue.fill(QColor(0, 0, 255));
    EXPECT_EQ(rig.shot(), blue);
}

TEST(EditorWidget, EachSelectedLineIsOneRectangleTurnedInsideOut)
{
    struct Case {
        bool editable;
        int end;
        std::size_t lines; // 0: nothing highlighted
    };
    // Within the first line; into the third; up to the third line's start; in view mode.
    for (const auto& c : std::vector<Case> {{true, 4, 1}, {true, 20, 3}, {true, 19, 3}, {false, 20, 0}}) {
        SCOPED_TRACE(testing::Message() << "editable " << c.editable << " end " << c.end);
        EditorRig rig;
        rig.editor.setText(u"██ ab\r\ncd ██ & ef\r\ngh ██");
        rig.editor.setEditable(c.editable);
        rig.editor.showCaret(false);
        const QImage plain = rig.shot();
        rig.control->setSelection(1, c.end);
        ASSERT_EQ(rig.editor.selectionRects.size(), c.lines);
        std::vector<QRect> rects;
        for (const auto& r : rig.editor.selectionRects) {
            EXPECT_EQ(r->top, LineGrid::kInset + 14 * static_cast<int>(rects.size()));
            EXPECT_EQ(r->height(), 14);
            rects.emplace_back(r->left, r->top, r->width(), r->height());
        }
        if (!rects.empty()) {
            EXPECT_EQ(rects.front().left(), rig.control->posFromChar(1).x);
            EXPECT_EQ(rects.back().left() + rects.back().width(), rig.control->posFromChar(c.end).x);
        }
        // XOR with the paper under each rectangle: bare paper turns black, ink turns paper-coloured.
        const QImage selected = rig.shot();
        const QImage paper = rig.paperUnder();
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) {
                const bool inside = std::any_of(rects.begin(), rects.end(), [&](const QRect& r) { return r.contains(x, y); });
                const QRgb want = inside ? (plain.pixel(x, y) ^ paper.pixel(x, y)) | 0xFF000000 : plain.pixel(x, y);
                ASSERT_EQ(selected.pixel(x, y), want) << x << "," << y;
            }
    }
}

TEST(EditorWidget, RelayoutShowsTheEndOfALongPageOrTheTopOfAShortOne)
{
    struct Case {
        int lines;
        bool bar;
    };
    for (const auto& c : {Case {30, true}, Case {6, false}}) {
        SCOPED_TRACE(c.lines);
        EditorRig rig;
        rig.editor.setText(numbered(c.lines));
        rig.bar().setValue(2);
        rig.editor.area.bottom = rig.editor.area.top + 84; // six lines
        rig.control->moveTo(rig.editor.area);
        rig.editor.relayout();
        EXPECT_EQ(rig.editor.scrollBarShown, c.bar);
        EXPECT_EQ(rig.editor.firstLine, rig.shownLine());
        const ScrollInfo info = rig.control->scrollInfo();
        EXPECT_EQ(info.maximum, c.lines - 1);
        EXPECT_EQ(rig.editor.firstLine, c.bar ? info.maximum - info.page + 1 : 0);
    }
}

TEST(EditorWidget, WheelTapsKeysAndTheBarKeepThePageWithTheControl)
{
    EditorRig rig;
    rig.editor.setText(numbered(40));
    QWheelEvent wheel({20, 20}, {20, 20}, {}, {0, -120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(rig.control->viewport(), &wheel);
    EXPECT_EQ(rig.editor.firstLine, 3);
    EXPECT_EQ(rig.shownLine(), 3);

    // Once scrolled the widget lays its lines out a little higher than the page draws them;
    // a tap on a drawn line's last pixel row still lands on that line, and the caret is drawn there.
    for (const int row : {0, 1, 5}) {
        const QPoint at(3, LineGrid::kInset + 14 * row + 13);
        QMouseEvent down(QEvent::MouseButtonPress, at, rig.control->viewport()->mapToGlobal(at), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(rig.control->viewport(), &down);
        int start = 0, end = 0;
        rig.control->getSelection(start, end);
        EXPECT_EQ(start, rig.control->lineIndex(3 + row)) << row;
        EXPECT_TRUE(rig.editor.caretShown);
        EXPECT_EQ(rig.control->caretRect().top(), LineGrid::kInset + 14 * row) << row;
    }

    for (int i = 0; i < 12; ++i)
        rig.key(Qt::Key_Down);
    EXPECT_GT(rig.shownLine(), 3);
    EXPECT_EQ(rig.editor.firstLine, rig.shownLine());
    rig.key(Qt::Key_End, Qt::ControlModifier);
    const int last = rig.bar().maximum();
    const int page = rig.bar().pageStep();
    EXPECT_EQ(rig.editor.firstLine, last);

    // The bar stops at the top and at the last page.
    const std::pair<QAbstractSlider::SliderAction, int> steps[] = {
        {QAbstractSlider::SliderSingleStepAdd, last}, {QAbstractSlider::SliderPageStepSub, last - page},
        {QAbstractSlider::SliderToMinimum, 0},        {QAbstractSlider::SliderSingleStepSub, 0},
        {QAbstractSlider::SliderSingleStepAdd, 1},    {QAbstractSlider::SliderPageStepAdd, 1 + page},
        {QAbstractSlider::SliderToMaximum, last},
    };
    for (const auto& [action, want] : steps) {
        rig.bar().triggerAction(action);
        EXPECT_EQ(rig.editor.firstLine, want) << action;
        EXPECT_EQ(rig.shownLine(), want) << action;
        EXPECT_FALSE(rig.editor.caretShown); // until the next tap
    }
}

TEST(EditorWidget, KoreanComesThroughTheInputMethodAndClearsSaved)
{
    EditorRig rig; // created read-only, then made writable by the first setEditable(true)
    EXPECT_FALSE(rig.control->isReadOnly());
    for (const bool before : {false, true}) { // loading a page is no change by the user
        rig.editor.saved = before;
        rig.editor.setText(u"날씨: ");
        EXPECT_EQ(rig.editor.saved, before);
    }
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

    rig.commit("맑음");
    rig.commit(" 오늘은 산책을 했다.");
    EXPECT_EQ(rig.editor.text, u"날씨: 맑음 오늘은 산책을 했다.");
    EXPECT_FALSE(rig.editor.saved);
    // The committed syllable is drawn where its composition was (whose underline lies below).
    EXPECT_EQ(rig.shot().copy(0, 0, 40, 14), composing.copy(0, 0, 40, 14));
}

TEST(EditorWidget, IndicesCountCrLfBreaksAndVisualLines)
{
    EditorRig rig({10, 30, 110, 170}); // narrow: long lines wrap
    const std::u16string text = u"one two three four five six\r\n\r\nseven\u00A0eight";
    rig.editor.setText(text);
    EXPECT_EQ(rig.control->text(), text); // breaks and no-break spaces as stored
    const int count = rig.control->lineCount();
    ASSERT_GT(count, 3);
    EXPECT_EQ(rig.control->lineIndex(count - 2), 29); // the empty line after the first CR LF
    EXPECT_EQ(rig.control->lineIndex(count - 1), 31);
    EXPECT_EQ(rig.control->lineIndex(count), -1);
    for (int line = 1; line < count - 2; ++line) { // wrapped lines start after a blank, at the left
        const int start = rig.control->lineIndex(line);
        EXPECT_EQ(text[static_cast<std::size_t>(start - 1)], u' ') << line;
        EXPECT_EQ(rig.control->posFromChar(start), (Point {LineGrid::kInset, LineGrid::kInset + 14 * line}));
    }
    EXPECT_EQ(rig.control->posFromChar(43), (Point {-1, -1}));

    // The LF of a break counts as its CR; the end is held to the text.
    for (const auto& [from, to, wantFrom, wantTo] : std::vector<std::array<int, 4>> {{28, 31, 27, 31}, {0, 999, 0, 42}}) {
        rig.control->setSelection(from, to);
        int start = 0, end = 0;
        rig.control->getSelection(start, end);
        EXPECT_EQ(std::make_pair(start, end), std::make_pair(wantFrom, wantTo)) << from;
    }

    // Lone breaks of a page edited elsewhere come back as CR LF, so indices stay ours.
    rig.editor.setText(u"a\nb\rc");
    EXPECT_EQ(rig.editor.text, u"a\r\nb\r\nc");
}

// A page that reads back as it was set is kept as loaded, not read out of the control again:
// the control must never say so of a text it changes.
TEST(EditorWidget, KeepsTextOnlyWhereItReadsBackTheSame)
{
    EditorRig rig({10, 30, 110, 170});
    const struct {
        std::u16string text;
        bool kept;
    } cases[] = {
        {u"", true},
        {u"one\r\ntwo\r\n\r\n", true},
        {u"tab\tno-break\u00A0line\u2028separator", true},
        {u"\r\n", true},
        {u"lone\nfeed", false},
        {u"lone\rreturn", false},
        {u"ends in a return\r", false},
        {u"\n\r", false},
        {u"paragraph\u2029separator", false},
        {u"frame\uFDD0marks\uFDD1", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rig.control->keepsText(c.text), c.kept) << toUtf8(c.text);
        rig.control->setText(c.text);
        EXPECT_EQ(rig.control->text() == c.text, c.kept) << toUtf8(c.text);
    }
}

TEST(EditorWidget, LinesAreSpacedAsTheSystemFontsLineHeightAndTabsAsTheWidgetPlacesThem)
{
    EditorRig rig;
    rig.editor.setText(u"Latin line\r\n한글 줄\r\nmixed 섞인 줄");
    const int height = lineHeightFor(rig.graphics.systemFontHeight());
    for (QTextBlock b = rig.control->document()->begin(); b.isValid(); b = b.next()) {
        rig.control->document()->documentLayout()->blockBoundingRect(b);
        EXPECT_EQ(b.layout()->lineAt(0).height(), height) << b.text().toStdString();
    }

    rig.editor.setText(u"a\t█");
    rig.editor.showCaret(false);
    const QImage shot = rig.shot();
    const QRgb ink = qRgb(redOf(kEditInk), greenOf(kEditInk), blueOf(kEditInk));
    int left = 0;
    while (left < shot.width() && shot.pixel(left, 8) != ink)
        ++left;
    EXPECT_EQ(left, rig.control->posFromChar(2).x);
    EXPECT_GT(left, 40); // a tab stop, not a space's width
}

// A clipboard whose owner has gone offers no format at all; the stock widget crashed on it.
TEST(EditorWidget, PasteTakesTheClipboardsTextAndOtherwiseNothingByKeysAndMenu)
{
    const std::function<QMimeData*()> clipboards[] = {
        [] { auto* m = new QMimeData; m->setText("붙임"); return m; },
        [] { return new QMimeData; },
        [] { auto* m = new QMimeData; m->setHtml("<b>html</b>"); return m; },
        [] { auto* m = new QMimeData; m->setText(""); return m; },
    };
    const std::function<void(EditorRig&)> pastes[] = {
        [](EditorRig& r) { r.key(Qt::Key_V, Qt::ControlModifier); },
        [](EditorRig& r) { r.key(Qt::Key_Insert, Qt::ShiftModifier); },
        [](EditorRig& r) {
            std::unique_ptr<QMenu> menu(r.control->createStandardContextMenu());
            if (auto* paste = menu->findChild<QAction*>("edit-paste"))
                paste->trigger();
        },
    };
    for (std::size_t c = 0; c < std::size(clipboards); ++c) {
        for (std::size_t p = 0; p < std::size(pastes); ++p) {
            SCOPED_TRACE(testing::Message() << "clipboard " << c << ", paste " << p);
            EditorRig rig;
            rig.editor.setText(u"ab");
            rig.key(Qt::Key_End, Qt::ControlModifier);
            QGuiApplication::clipboard()->setMimeData(clipboards[c]());
            pastes[p](rig);
            EXPECT_EQ(rig.editor.text, c == 0 ? u"ab붙임" : u"ab");
        }
    }
    QGuiApplication::clipboard()->clear();
}

// The whole page read back as stored, whatever its ends and breaks, after edits in the widget too.
TEST(EditorWidget, WholeTextReadsBackAsStored)
{
    EditorRig rig({10, 30, 110, 170});
    const struct {
        std::u16string set, typed, want;
    } cases[] = {
        {u"", u"", u""},
        {u"\r\n", u"", u"\r\n"},
        {u"a\r\n\r\n", u"", u"a\r\n\r\n"},
        {u"line\u2028kept\r\n한글", u"", u"line\u2028kept\r\n한글"},
        {u"end", u"x", u"xend"},
        {u"\r\nb", u"가", u"가\r\nb"},
    };
    for (const auto& c : cases) {
        rig.editor.setText(c.set);
        if (!c.typed.empty())
            QTextCursor(rig.control->document()).insertText(QString::fromStdU16String(c.typed));
        EXPECT_EQ(rig.control->text(), c.want);
        EXPECT_EQ(rig.control->text(), rig.control->textRange(0, 1 << 20)) << "whole and ranged reads agree";
    }
}

// The composition is underlined, and highlighted where the input method asks, on an empty page
// too; committed, the same glyphs stay and the marks go.
TEST(EditorWidget, TheComposedSyllableIsMarkedAsTheInputMethodAsksOnAnEmptyPageToo)
{
    QTextCharFormat dashed;
    dashed.setUnderlineStyle(QTextCharFormat::DashUnderline);
    QTextCharFormat highlighted;
    highlighted.setBackground(Qt::darkBlue);
    QTextCharFormat bold; // a mark this page does not draw
    bold.setFontWeight(QFont::Bold);
    const struct {
        std::u16string page;
        std::optional<QTextCharFormat> format;
        bool underline, highlight;
    } cases[] = {
        {u"", std::nullopt, true, false},
        {u"날씨: ", std::nullopt, true, false},
        {u"날씨: ", dashed, true, false},
        {u"", highlighted, true, true},
        {u"날씨: ", bold, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page.size() * 10 + (c.format ? c.format->propertyCount() : 0));
        EditorRig rig;
        rig.editor.setText(c.page);
        rig.key(Qt::Key_End, Qt::ControlModifier);
        rig.editor.showCaret(false);
        QList<QInputMethodEvent::Attribute> asked {{QInputMethodEvent::Cursor, 1, 1, {}}};
        if (c.format)
            asked.push_back({QInputMethodEvent::TextFormat, 0, 1, *c.format});
        QInputMethodEvent composingEvent(QStringLiteral("맑"), asked);
        QApplication::sendEvent(rig.control, &composingEvent);
        const QImage composing = rig.shot();
        rig.commit("맑");
        const QImage committed = rig.shot();
        ASSERT_EQ(rig.editor.text, c.page + u"맑");

        // The syllable's box on the first row (top kInset, 14 high).
        const int left = rig.control->posFromChar(static_cast<int>(c.page.size())).x;
        const int right = rig.control->posFromChar(static_cast<int>(c.page.size()) + 1).x;
        ASSERT_GT(right - left, 6);
        const int foot = LineGrid::kInset + 14 - 2;
        int underlined = 0, changed = 0;
        const QRgb ink = qRgb(redOf(kEditInk), greenOf(kEditInk), blueOf(kEditInk));
        for (int y = LineGrid::kInset; y < LineGrid::kInset + 14; ++y)
            for (int x = left; x < right; ++x) {
                const bool differs = composing.pixel(x, y) != committed.pixel(x, y);
                if (y == foot && differs && composing.pixel(x, y) == ink)
                    ++underlined;
                else if (differs)
                    ++changed;
            }
        EXPECT_EQ(underlined, c.underline ? right - left : 0);
        EXPECT_EQ(changed > (right - left) * 4, c.highlight) << changed;
        EXPECT_EQ(changed == 0, !c.highlight) << changed;
    }
}
