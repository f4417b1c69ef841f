// The recorder window's place over the main window and its closing, offscreen.
#include "fakes/Fakes.h"
#include "qt/recorder/QtVoiceRecorder.h"
#include "qt/window/PageletWindow.h"
#include "store/PlainPageStore.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <gtest/gtest.h>

using namespace pagelet;

TEST(Recorder, OpensAtTheRecordsPointOfTheMainWindowAndStaysOnScreen)
{
    PageletWindow main;
    main.move(100, 80);
    main.show();
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    fakes::FakeMessageBox messages;
    std::vector<int> codes;
    const Zoom zoom;
    PlainPageStore store(u"/nonexistent/");
    QtVoiceRecorder recorder(messages, [&codes](int code) { codes.push_back(code); }, zoom,
                             [&store]() -> PageStore& { return store; });
    const struct {
        QPoint at;
        bool fits;
    } cases[] = {{{220, 10}, true}, {{100000, 100000}, false}, {{-100000, -5}, false}};
    for (const auto& c : cases) {
        VoiceRecorderRecord record {28, 0x44, c.at.x(), c.at.y(), &main, 102, u"/nonexistent/20010607.wav"};
        ASSERT_NE(recorder.create(record), 0);
        RecorderWindow* w = recorder.window();
        ASSERT_TRUE(w && w->isVisible() && w->isModal());
        EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
        if (c.fits)
            EXPECT_EQ(w->pos(), main.mapToGlobal(c.at));
        else
            EXPECT_TRUE(avail.contains(w->frameGeometry())) << w->frameGeometry().x() << "," << w->frameGeometry().y();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(w, &escape);
        EXPECT_FALSE(w->isVisible());
    }
    EXPECT_EQ(codes, std::vector<int>(3, kRecorderClosedCancel));
    // A record of another size, or of a file that is no memo of the store, is no recorder's.
    EXPECT_EQ(recorder.create({20, 0x44, 0, 0, &main, 102, u"/nonexistent/20010607.wav"}), 0);
    EXPECT_EQ(recorder.create({28, 0x44, 0, 0, &main, 102, u"/tmp/20010607.wav"}), 0);
    EXPECT_TRUE(messages.shown.empty());
}
