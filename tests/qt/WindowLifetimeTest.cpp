// The main window torn down while still on screen, as when the session ends under it. The
// teardown moves focus and repaints; a sanitizer build shows any of that reaching freed state.
#include "Rig.h"
#include "platform/Commands.h"
#include "qt/editor/QtEditControl.h"
#include "qt/dialogs/QtMonthCalendar.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <gtest/gtest.h>

using namespace pagelet;

TEST(MainWindow, DestroyedWhileShownLeavesNothingBehindThatReachesIt)
{
    for (const bool calendarUp : {false, true}) {
        SCOPED_TRACE(calendarUp ? "calendar shown" : "editor focused");
        qttest::TempInstall temp;
        temp.install(Settings {});
        auto window = std::make_unique<PageletWindow>(temp.overrides);
        ASSERT_TRUE(window->start());
        window->show();
        QApplication::setActiveWindow(window.get());
        QtEditControl& edit = window->editControl();
        edit.setFocus();
        QInputMethodEvent typing;
        typing.setCommitString(QStringLiteral("쓰던 글"));
        QApplication::sendEvent(&edit, &typing);
        if (calendarUp) {
            window->sendCommand(CMD_CALENDAR, 0, 0);
            ASSERT_TRUE(window->calendar().isVisible());
            window->calendar().setFocus();
        }
        QApplication::processEvents();
        ASSERT_TRUE(edit.hasFocus() || calendarUp);

        window.reset();
        // What the teardown posted arrives now; the keyboard may move after the window is gone.
        QApplication::processEvents();
        emit QGuiApplication::inputMethod()->keyboardRectangleChanged();
        EXPECT_EQ(QApplication::activeWindow(), nullptr);
    }
}
