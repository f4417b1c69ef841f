// Runs the real recorder window on one memo and presses its keys as a script says, printing
// what the user would see: messages, the closing code, how long a memo played.
// Usage: pagelet-sound-driver [--sealed] MEMO STEP... (--sealed: the memo of an encrypted diary
// whose key is 32 bytes of 0x42) with steps R S P Space Return Escape, wait:MS,
// played (until playing ends), same (whether the memo is still as it was), limit:BYTES, pid,
// kill:PID (ends the sound server).
#include "base/FileIo.h"
#include "base/Text.h"
#include "store/EncryptedPageStore.h"
#include "platform/MessageBox.h"
#include "qt/sound/MemoPlayback.h"
#include "qt/recorder/RecorderWindow.h"
#include "qt/graphics/Zoom.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QKeyEvent>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sys/resource.h>
#include <unistd.h>

using namespace pagelet;

namespace {

class PrintedMessages : public MessageBoxPort {
public:
    MessageAnswer show(const std::u16string& text, const std::u16string&, MessageButtons, MessageIcon) override
    {
        std::string line = toUtf8(text);
        for (auto& c : line)
            c = c == '\n' ? '|' : c;
        std::printf("message %s\n", line.c_str());
        std::fflush(stdout);
        // Open for a moment, as a real box runs its own event loop until it is answered.
        QEventLoop box;
        QTimer::singleShot(300, &box, &QEventLoop::quit);
        box.exec();
        return MessageAnswer::Ok;
    }
};

void runFor(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const bool sealed = argc > 1 && std::string(argv[1]) == "--sealed";
    const int first = sealed ? 2 : 1;
    if (argc <= first)
        return 2;
    const std::u16string memo = fromUtf8(argv[first]);
    const std::u16string folder = memo.substr(0, memo.rfind(u'/') + 1);
    std::unique_ptr<PlainPageStore> store;
    if (sealed) {
        const std::vector<std::uint8_t> key(DiaryKey::kBytes, 0x42);
        store = std::make_unique<EncryptedPageStore>(folder, *DiaryKey::fromBytes(key.data()));
    } else {
        store = std::make_unique<PlainPageStore>(folder);
    }
    const auto date = memoDateOf(*store, memo);
    if (!date)
        return 2;
    const auto before = readFile(memo);
    PrintedMessages messages;
    const Zoom zoom;
    auto* window = new RecorderWindow(nullptr, *store, *date, messages, [](int code) {
        std::printf("notify %d\n", code);
        std::fflush(stdout);
    }, zoom);
    QPointer<RecorderWindow> alive(window);
    window->showAt({10, 10});
    const std::map<std::string, int> keys = {{"R", Qt::Key_R},         {"S", Qt::Key_S},
                                             {"P", Qt::Key_P},         {"Space", Qt::Key_Space},
                                             {"Return", Qt::Key_Return}, {"Escape", Qt::Key_Escape}};
    for (int i = first + 1; i < argc; ++i) {
        const std::string step = argv[i];
        if (const auto k = keys.find(step); k != keys.end()) {
            if (!alive)
                return 3;
            QKeyEvent press(QEvent::KeyPress, k->second, Qt::NoModifier);
            QApplication::sendEvent(window, &press);
        } else if (step.rfind("wait:", 0) == 0) {
            runFor(std::atoi(step.c_str() + 5));
        } else if (step == "played") {
            QElapsedTimer t;
            t.start();
            while (alive && window->playing() && t.elapsed() < 15000)
                QApplication::processEvents(QEventLoop::AllEvents, 20);
            std::printf("played %.2f\n", alive ? window->player().seconds() : -1.0);
        } else if (step == "pid") {
            std::printf("pid %d\n", static_cast<int>(::getpid()));
        } else if (step == "same") {
            std::printf("memo %s\n", readFile(memo) == before ? "same" : "changed");
        } else if (step.rfind("kill:", 0) == 0) {
            ::kill(std::atoi(step.c_str() + 5), SIGKILL);
        } else if (step.rfind("limit:", 0) == 0) {
            // A disk that fills up: writes past the limit fail instead of ending the program.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit {static_cast<rlim_t>(std::atoll(step.c_str() + 6)), RLIM_INFINITY};
            setrlimit(RLIMIT_FSIZE, &limit);
        } else {
            return 2;
        }
        std::fflush(stdout);
    }
    runFor(50);
    return 0;
}
