#include "Rig.h"
#include "qt/dialogs/QtDialogs.h"
#include "qt/graphics/Zoom.h"
#include "settings/PasswordDialog.h"

#include <QEventLoop>
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

using namespace pagelet;
using namespace pagelet::fakes;
using namespace pagelet::qttest;

namespace {

// Lets the event loop run before the dialog starts, as a command that opens it later does.
bool runDialogAfter(int idleMs)
{
    QEventLoop idle;
    QTimer::singleShot(idleMs, &idle, &QEventLoop::quit);
    idle.exec();
    FakeMessageBox messages;
    FakeSoftInput panel;
    PanelKeyboard keyboard(panel);
    PasswordDialog handler(u"Secret", 3, messages, keyboard);
    // Ended by the test after a while when nothing else ends it: a rig that hangs fails here.
    bool hung = false;
    QTimer stuck;
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, [&hung] {
        hung = true;
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->done(QDialog::Rejected);
    });
    stuck.start(3000);
    QtDialogs(Zoom()).run(PasswordDialog::kTemplateId, handler);
    EXPECT_FALSE(hung) << "the dialog's run never ended";
    return !hung;
}

} // namespace

TEST(Rig, AModalRunNeverHangsTheTest)
{
    // A dialog that starts late is still answered.
    bool answered = false;
    whenModal([&answered](QtDialog& d) {
        answered = true;
        d.done(QDialog::Rejected);
    });
    EXPECT_TRUE(runDialogAfter(100));
    EXPECT_TRUE(answered);

    // One that never comes fails the test, and a run that starts after that is ended.
    EXPECT_NONFATAL_FAILURE(
        {
            whenModal([](QtDialog&) { ADD_FAILURE() << "acted on a dialog started too late"; }, 10000, 200);
            QEventLoop idle;
            QTimer::singleShot(400, &idle, &QEventLoop::quit);
            idle.exec();
        },
        "no dialog ran within 200 ms");
    EXPECT_TRUE(runDialogAfter(0));
}
