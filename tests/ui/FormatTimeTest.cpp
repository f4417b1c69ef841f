#include "app/Commands.h"
#include "app/MainDialog.h"
#include "base/Day.h"
#include "base/Text.h"
#include "fakes/Fakes.h"
#include "ui/FormatTime.h"

#include <gtest/gtest.h>
#include <vector>

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
        // The six styles at one afternoon and one morning time.
        {0, 14, 5, 9, u"오후 02 : 05"},
        {1, 14, 5, 9, u"P.M. 02 : 05"},
        {2, 14, 5, 9, u"14 : 05"},
        {3, 14, 5, 9, u"오후 02 : 05 : 09"},
        {4, 14, 5, 9, u"P.M. 02 : 05 : 09"},
        {5, 14, 5, 9, u"14 : 05 : 09"},
        {0, 9, 5, 9, u"오전 09 : 05"},
        {1, 9, 5, 9, u"A.M. 09 : 05"},
        {4, 9, 5, 9, u"A.M. 09 : 05 : 09"},
        // Midnight keeps 00 with the morning word; noon is below 13 and stays morning.
        {0, 0, 0, 0, u"오전 00 : 00"},
        {1, 0, 30, 0, u"A.M. 00 : 30"},
        {1, 12, 0, 0, u"A.M. 12 : 00"},
        {0, 12, 30, 0, u"오전 12 : 30"},
        {1, 13, 0, 0, u"P.M. 01 : 00"},
        {0, 13, 30, 0, u"오후 01 : 30"},
        {4, 23, 59, 59, u"P.M. 11 : 59 : 59"},
        {5, 7, 8, 9, u"07 : 08 : 09"},
        {2, 0, 0, 0, u"00 : 00"},
        // Values outside the list write the Korean form with seconds.
        {7, 14, 5, 9, u"오후 02 : 05 : 09"},
        {-1, 7, 8, 9, u"오전 07 : 08 : 09"},
        {6, 23, 0, 1, u"오후 11 : 00 : 01"},
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
        std::u16string text;
        int selStart, selEnd;
        std::u16string want;
    };
    const std::vector<Case> cases = {
        {0, u"Dear diary", 5, 5, u"Dear 오후 02 : 05 diary"},
        {5, u"Dear diary", 5, 10, u"Dear 14 : 05 : 09 "},
        {-1, u"Dear diary", 0, 0, u"오후 02 : 05 : 09 Dear diary"},
        {1, u"Dear diary\r\n", 12, 12, u"Dear diary\r\nP.M. 02 : 05 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.want));
        FakePlatform p;
        MainDialog dialog(MainDialogPorts {p.window, p.messages, p.registry, p.exit, p.calendar, p.edit, p.graphics,
                                           p.clock, p.dialogs, p.softInput});
        dialog.editor.create({3, 40, 237, 268});
        dialog.editor.setText(c.text);
        dialog.editor.saved = false;
        dialog.settings.timeFormat = c.style;
        p.clock.value = fromLocal({2026, 12, 7}, 14, 5, 9);
        p.edit.setSelection(c.selStart, c.selEnd);

        EXPECT_EQ(dialog.onCommand(CMD_TIMESTAMP, -1, -1), 0);
        EXPECT_EQ(p.edit.content, c.want);
        EXPECT_EQ(dialog.editor.text, c.want);
        EXPECT_FALSE(dialog.editor.saved); // the stamp is stored with the page, not by itself
    }
}
