#include "app/Commands.h"
#include "app/MainDialog.h"
#include "fakes/Fakes.h"
#include "skin/LoadSkin.h"
#include "skin/SkinTestFiles.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace pagelet;

namespace {

// Writes down every drawing call, naming strips by the skin member they belong to.
class RecordingSurface : public Surface {
public:
    RecordingSurface(const Skin& skin) : m_skin(skin) {}
    Size size() const override { return {240, 270}; }
    void fill(const Rect& r, Color c) override { log("fill", r, static_cast<int>(c)); }
    void copyBitmap(const Bitmap&, Point src, const Rect& dst) override { log("copy", dst, src.x + src.y); }
    void copySurface(const Surface&, Point) override { log("copySurface", Rect {}, 0); }
    void xorBitmap(const Bitmap&, Point, const Rect& r) override { log("xor", r, 0); }
    void drawCell(const ImageStrip& s, int cell, Point at) override { log(name(s), at, cell); }
    void drawCellSelected(const ImageStrip& s, int cell, Point at) override { log(name(s) + "*", at, cell); }
    void drawSunkenEdge(const Rect& r) override { log("sunken", r, 0); }
    void drawText(const Rect& r, std::u16string_view, Color) override { log("text", r, 0); }

    std::vector<std::string> calls;

private:
    std::string name(const ImageStrip& s) const
    {
        const std::pair<const ImageStrip*, const char*> names[] = {
            {m_skin.etcStrip.get(), "etc"},         {m_skin.numberStrip.get(), "number"},
            {m_skin.weekdayStrip.get(), "weekday"}, {m_skin.weatherStrip.get(), "weather"},
            {m_skin.button1Strip.get(), "button1"}, {m_skin.button2Strip.get(), "button2"}};
        for (const auto& [strip, n] : names)
            if (strip == &s)
                return n;
        return "?";
    }
    void log(const std::string& what, Point at, int value) { log(what, Rect {at.x, at.y, at.x, at.y}, value); }
    void log(const std::string& what, const Rect& r, int value)
    {
        std::ostringstream os;
        os << what << " " << r.left << "," << r.top;
        if (r.right != r.left || r.bottom != r.top)
            os << "-" << r.right << "," << r.bottom;
        os << " #" << value;
        calls.push_back(os.str());
    }
    const Skin& m_skin;
};

std::string at(const std::string& what, const Rect& r, int value)
{
    return what + " " + std::to_string(r.left) + "," + std::to_string(r.top) + " #" + std::to_string(value);
}

std::string over(const std::string& what, const Rect& r)
{
    return what + " " + std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + " #0";
}

const char* const kSkin = "NUMBER:8,14\nETC:10,14\nWEEKDAY:20,14\nWEATHER:16,16\nBUTTON1:16,16\nBUTTON2:24,20\n";

struct Rig {
    Rig()
        : dialog(MainDialogPorts {p.window, p.messages, p.registry, p.exit, p.calendar, p.edit, p.graphics, p.clock,
                                  p.dialogs, p.softInput}),
          surface(dialog.skin)
    {
        temp.write("skin/skin.skn", kSkin);
        LoadSkin(dialog.skin, temp.folder("skin"), {p.graphics, p.calendar, p.messages, p.window.client, 0});
        dialog.skin.background = std::make_unique<fakes::FakeBitmap>(Size {240, 270});
        dialog.settings.dataPath = temp.folder("diary");
        std::filesystem::create_directories(temp.root / "diary");
        p.window.surface = &surface;
        dialog.editor.needsRedraw = false;
    }
    SkinElement& element(int command) { return *dialog.skin.findElement(command); }
    Point centre(int command)
    {
        const Rect r = element(command).rect;
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void tap(int command)
    {
        const Point c = centre(command);
        dialog.OnLButtonDown(c.x, c.y);
        dialog.OnLButtonUp();
    }

    skintest::TempFolder temp;
    fakes::FakePlatform p;
    MainDialog dialog;
    RecordingSurface surface;
};

} // namespace

TEST(SkinView, PaintsBackgroundButtonsInListOrderThenTheDate)
{
    struct Case {
        LocalDate date;
        std::vector<std::pair<int, int>> digits; // date cell, number cell
        int weekday;
    };
    const Case cases[] = {
        {{2025, 12, 5}, {{0, 1}, {1, 2}, {4, 5}}, 5}, // a Friday: no tens digit of the day
        {{2026, 3, 31}, {{1, 3}, {3, 3}, {4, 1}}, 2}, // a Tuesday: no tens digit of the month
        {{2026, 10, 10}, {{0, 1}, {1, 0}, {3, 1}, {4, 0}}, 6},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.dialog.selectedDay = fromLocal(c.date, 12);
        rig.dialog.OnPaint(rig.surface);

        const Skin& s = rig.dialog.skin;
        std::vector<std::string> want {"copy 0,0-240,270 #0"};
        for (const auto& e : s.elements) {
            const char* strip = e->strip == s.weatherStrip.get() ? "weather"
                                : e->strip == s.button1Strip.get() ? "button1"
                                                                   : "button2";
            want.push_back(at(strip, e->rect, e->cell));
        }
        for (const auto& [cell, digit] : c.digits) {
            want.push_back(at("number", s.dateCells[cell], digit));
            if (cell == 1)
                want.push_back(at("etc", s.dateCells[2], 0));
        }
        // The day's marks follow its units digit.
        want.insert(want.end(), {at("etc", s.dateCells[5], 1), at("weekday", s.dateCells[6], c.weekday),
                                 at("etc", s.dateCells[7], 2), at("etc", s.dateCells[8], 3)});
        EXPECT_EQ(rig.surface.calls, want) << c.date.month << "/" << c.date.day;
        EXPECT_TRUE(rig.dialog.editor.needsRedraw);
        EXPECT_EQ(rig.p.edit.invalidations, 1);
    }
}

TEST(SkinView, MemoFrameFollowsTheMemoFile)
{
    Rig rig;
    rig.dialog.selectedDay = fromLocal({2026, 1, 2}, 9);
    const std::string memo = toUtf8(rig.dialog.memoPath(rig.dialog.selectedDay));
    const std::string frame = "sunken 26,247-52,269 #0";
    auto painted = [&] {
        rig.surface.calls.clear();
        rig.dialog.OnPaint(rig.surface);
        return std::count(rig.surface.calls.begin(), rig.surface.calls.end(), frame);
    };
    EXPECT_EQ(painted(), 0);
    std::ofstream(memo) << "RIFF";
    EXPECT_EQ(painted(), 1);
    // Drawn right after the voice button, before the buttons that follow it.
    const auto voice = std::find(rig.surface.calls.begin(), rig.surface.calls.end(),
                                 at("button2", rig.element(CMD_VOICE).rect, 4));
    ASSERT_NE(voice, rig.surface.calls.end());
    EXPECT_EQ(*(voice + 1), frame);
    std::filesystem::remove(memo);
    EXPECT_EQ(painted(), 0);
    std::filesystem::create_directories(memo);
    EXPECT_EQ(painted(), 0) << "a folder is not a memo";
}

TEST(SkinView, FillsBlueWhereThereIsNoBackground)
{
    Rig rig;
    rig.dialog.skin.background.reset();
    rig.dialog.OnPaint(rig.surface);
    EXPECT_EQ(rig.surface.calls, (std::vector<std::string> {"fill 0,0-240,270 #16711680"}));
    EXPECT_EQ(rig.p.edit.invalidations, 0);

    // A background smaller than the window: the rest is blue, the buttons still drawn over it.
    Rig small;
    small.dialog.skin.background = std::make_unique<fakes::FakeBitmap>(Size {200, 100});
    small.dialog.OnPaint(small.surface);
    ASSERT_GE(small.surface.calls.size(), 4u);
    EXPECT_EQ(small.surface.calls[0], "copy 0,0-240,270 #0");
    EXPECT_EQ(small.surface.calls[1], "fill 200,0-240,270 #16711680");
    EXPECT_EQ(small.surface.calls[2], "fill 0,100-200,270 #16711680");
    EXPECT_EQ(small.surface.calls[3], at("weather", small.element(CMD_WEATHER).rect, 0));
}

TEST(SkinView, ATapSendsTheButtonsCommandWithItsParameters)
{
    const int commands[] = {CMD_WEATHER, CMD_TIMESTAMP, CMD_CALENDAR, CMD_NEXT_DAY, CMD_TODAY, CMD_PREV_DAY,
                            CMD_FIND,    CMD_VOICE,     CMD_DELETE,   CMD_SETTINGS, CMD_EDIT};
    for (int command : commands) {
        Rig rig;
        SkinElement& e = rig.element(command);
        const Point c = rig.centre(command);
        rig.dialog.OnLButtonDown(c.x, c.y);
        EXPECT_EQ(rig.dialog.skin.pressedElement, &e);
        ASSERT_EQ(rig.p.window.drawnNow.size(), 1u);
        EXPECT_EQ(rig.p.window.drawnNow[0], e.rect.inflated(1));
        const std::string button = e.strip == rig.dialog.skin.weatherStrip.get() ? "weather"
                                   : e.strip == rig.dialog.skin.button1Strip.get() ? "button1"
                                                                                    : "button2";
        EXPECT_EQ(rig.surface.calls, (std::vector<std::string> {at(button + "*", e.rect, e.cell),
                                                                over("sunken", e.rect.inflated(1))}));
        EXPECT_TRUE(rig.p.window.sent.empty()) << "nothing is sent before the pen is lifted";

        rig.dialog.OnLButtonUp();
        ASSERT_EQ(rig.p.window.sent.size(), 1u) << command;
        EXPECT_EQ(rig.p.window.sent[0].command, command);
        EXPECT_EQ(rig.p.window.sent[0].wParam, command == CMD_VOICE ? reinterpret_cast<std::intptr_t>(&e.rect) : -1);
        EXPECT_EQ(rig.p.window.sent[0].lParam, -1);
        EXPECT_EQ(rig.p.window.invalidatedRects, (std::vector<Rect> {e.rect.inflated(1)}));
        EXPECT_EQ(rig.dialog.skin.pressedElement, nullptr);

        rig.dialog.OnLButtonUp();
        EXPECT_EQ(rig.p.window.sent.size(), 1u) << "one command per press";
    }
}

TEST(SkinView, PenRulesForDisabledOverlappingAndEmptySpots)
{
    {
        Rig rig; // a disabled button takes the tap and does nothing
        rig.element(CMD_WEATHER).enabled = false;
        rig.tap(CMD_WEATHER);
        EXPECT_TRUE(rig.p.window.sent.empty());
        EXPECT_TRUE(rig.p.window.drawnNow.empty());
        EXPECT_TRUE(rig.p.window.invalidatedRects.empty());
    }
    {
        Rig rig; // an empty spot, then a pen-up: nothing
        rig.dialog.OnLButtonDown(120, 120);
        rig.dialog.OnLButtonUp();
        EXPECT_TRUE(rig.p.window.sent.empty());
    }
    {
        Rig rig; // a pen-down elsewhere forgets an earlier press
        const Point c = rig.centre(CMD_EDIT);
        rig.dialog.OnLButtonDown(c.x, c.y);
        rig.dialog.OnLButtonDown(120, 120);
        rig.dialog.OnLButtonUp();
        EXPECT_TRUE(rig.p.window.sent.empty());
    }
    {
        Rig rig; // overlapping buttons: the earlier one in the list decides
        rig.element(CMD_FIND).rect = rig.element(CMD_WEATHER).rect;
        rig.tap(CMD_WEATHER);
        ASSERT_EQ(rig.p.window.sent.size(), 1u);
        EXPECT_EQ(rig.p.window.sent[0].command, CMD_WEATHER);
        // ...and a disabled earlier button shields the later one.
        rig.element(CMD_WEATHER).enabled = false;
        rig.tap(CMD_WEATHER);
        EXPECT_EQ(rig.p.window.sent.size(), 1u);
    }
}
