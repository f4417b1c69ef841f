// The pen on the skin's buttons; what the buttons look like is probed on the real window.
#include "fakes/Fakes.h"
#include "platform/Commands.h"
#include "skin/LoadSkin.h"
#include "skin/SkinTestFiles.h"
#include "skin/SkinView.h"

#include <gtest/gtest.h>

using namespace pagelet;

namespace {

struct Rig {
    Rig()
    {
        temp.write("skin.skn", "NUMBER:8,14\nETC:10,14\nWEEKDAY:20,14\nWEATHER:16,16\nBUTTON1:16,16\nBUTTON2:24,20\n");
        LoadSkin(view.skin(), temp.folder(), {p.graphics, p.calendar, p.messages, p.window.client, 0});
    }
    SkinElement& element(int command) { return *view.skin().findElement(command); }
    void down(int command)
    {
        const Rect r = element(command).rect;
        view.OnLButtonDown((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    std::vector<int> sent() const
    {
        std::vector<int> out;
        for (const auto& s : p.window.sent)
            out.push_back(s.command);
        return out;
    }

    skintest::TempFolder temp;
    fakes::FakePlatform p;
    PanelKeyboard keyboard {p.softInput};
    DiaryEdit editor {p.edit, p.graphics, keyboard};
    SkinView view {p.window, p.edit, editor};
};

} // namespace

TEST(SkinView, ATapSendsTheButtonsCommandWithItsParametersOnce)
{
    for (int command : {CMD_WEATHER, CMD_TIMESTAMP, CMD_CALENDAR, CMD_NEXT_DAY, CMD_TODAY, CMD_PREV_DAY, CMD_FIND,
                        CMD_VOICE, CMD_DELETE, CMD_SETTINGS, CMD_EDIT}) {
        SCOPED_TRACE(command);
        Rig rig;
        SkinElement& e = rig.element(command);
        rig.down(command);
        EXPECT_EQ(rig.view.skin().pressedElement, &e);
        EXPECT_EQ(rig.p.window.drawnNow, (std::vector<Rect> {e.rect.inflated(1)}));
        EXPECT_TRUE(rig.p.window.sent.empty()) << "nothing is sent before the pen is lifted";

        rig.view.OnLButtonUp();
        rig.view.OnLButtonUp();
        ASSERT_EQ(rig.sent(), (std::vector<int> {command}));
        EXPECT_EQ(rig.p.window.sent[0].wParam, command == CMD_VOICE ? reinterpret_cast<std::intptr_t>(&e.rect) : -1);
        EXPECT_EQ(rig.p.window.sent[0].lParam, -1);
        EXPECT_EQ(rig.p.window.invalidatedRects, (std::vector<Rect> {e.rect.inflated(1)}));
        EXPECT_EQ(rig.view.skin().pressedElement, nullptr);
    }
}

TEST(SkinView, PenRulesForDisabledOverlappingAndEmptySpots)
{
    Rig rig;
    rig.element(CMD_WEATHER).enabled = false; // takes the tap and does nothing
    rig.down(CMD_WEATHER);
    rig.view.OnLButtonUp();
    EXPECT_TRUE(rig.p.window.drawnNow.empty());
    EXPECT_TRUE(rig.p.window.invalidatedRects.empty());
    rig.view.OnLButtonDown(120, 120); // an empty spot
    rig.view.OnLButtonUp();
    rig.down(CMD_EDIT); // a pen-down elsewhere forgets an earlier press
    rig.view.OnLButtonDown(120, 120);
    rig.view.OnLButtonUp();
    EXPECT_TRUE(rig.p.window.sent.empty());

    // Overlapping buttons: the earlier one in the list decides, and shields the later one
    // while disabled.
    rig.element(CMD_FIND).rect = rig.element(CMD_TIMESTAMP).rect;
    rig.down(CMD_TIMESTAMP);
    rig.view.OnLButtonUp();
    rig.element(CMD_TIMESTAMP).enabled = false;
    rig.down(CMD_TIMESTAMP);
    rig.view.OnLButtonUp();
    EXPECT_EQ(rig.sent(), (std::vector<int> {CMD_TIMESTAMP}));
}

TEST(SkinView, PaintingAsksTheEditorToRepaintOverABackgroundOnly)
{
    for (const bool background : {true, false}) {
        Rig rig;
        if (background)
            rig.view.skin().background = std::make_unique<fakes::FakeBitmap>(Size {240, 270});
        rig.editor.needsRedraw = false;
        rig.view.OnPaint(*rig.p.graphics.makeSurface({240, 270}), fromLocal({2001, 6, 7}), false);
        EXPECT_EQ(rig.editor.needsRedraw, background);
        EXPECT_EQ(rig.p.edit.invalidations, background ? 1 : 0);
    }
}
