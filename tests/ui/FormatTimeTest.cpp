#include "platform/Commands.h"
#include "app/MainDialog.h"
#include "base/Text.h"
#include "fakes/Fakes.h"
#include "ui/FormatTime.h"

#include <gtest/gtest.h>

using namespace pagelet;
using namespace pagelet::fakes;

TEST(FormatTime, EveryStyleAtTheDayBoundaries)
{
    struct Case {
        std::int32_t style;
        int hour, minute, second;
        std::u16string want;
    };
    const std::vector<Case> cases = {
        {0, 14, 5, 9, u"오후 02 : 05"},
        {1, 9, 5, 9, u"A.M. 09 : 05"},
        {2, 14, 5, 9, u"14 : 05"},
        {3, 9, 5, 9, u"오전 09 : 05 : 09"},
        {4, 23, 59, 59, u"P.M. 11 : 59 : 59"},
        {5, 7, 8, 9, u"07 : 08 : 09"},
        // Midnight keeps 00 with the morning word; noon is below 13 and stays morning.
        {0, 0, 0, 0, u"오전 00 : 00"},
        {1, 12, 0, 0, u"A.M. 12 : 00"},
        {1, 13, 0, 0, u"P.M. 01 : 00"},
        // Values outside the list write the Korean form with seconds.
        {7, 14, 5, 9, u"오후 02 : 05 : 09"},
        {-1, 7, 8, 9, u"오전 07 : 08 : 09"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.want));
        EXPECT_EQ(formatTime(c.style, c.hour, c.minute, c.second, kStampTail), c.want + u" ");
        EXPECT_EQ(formatTime(c.style, c.hour, c.minute, c.second, kSampleTail), c.want + u"  ");
    }
}

TEST(TimeStamp, ReplacesTheSelectionWithTheTimeInTheChosenStyle)
{
    struct Case {
        std::int32_t style;
        int selStart, selEnd;
        std::u16string want;
        int caret; // right after the stamp
    };
    const std::vector<Case> cases = {
        {0, 5, 5, u"Dear 오후 02 : 05 diary", 16},
        {5, 5, 99, u"Dear 14 : 05 : 09 ", 18}, // the selection's end is held to the text
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.want));
        FakePlatform p;
        MainDialog dialog(MainDialogPorts {p.window, p.messages, p.registry, p.exit, p.calendar, p.edit, p.graphics,
                                           p.clock, p.dialogs, p.softInput, p.recorder, p.caseFolding});
        dialog.editor().create({3, 40, 237, 268});
        dialog.editor().setText(u"Dear diary");
        dialog.editor().saved = false;
        dialog.settings().timeFormat = c.style;
        p.clock.value = fromLocal({2026, 12, 7}, 14, 5, 9);
        p.edit.setSelection(c.selStart, c.selEnd);

        dialog.onCommand(CMD_TIMESTAMP, -1, -1);
        EXPECT_EQ(dialog.editor().text, c.want);
        EXPECT_EQ(std::make_pair(p.edit.selStart, p.edit.selEnd), std::make_pair(c.caret, c.caret));
        EXPECT_FALSE(dialog.editor().saved); // stored with the page, not by itself
    }
}
