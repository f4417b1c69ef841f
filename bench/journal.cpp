// A typed key in the real window with the crash journal on against the same window without it:
// two installs alike (the shipped skin, the same page of each size in edit mode), typed in turn,
// a key every 10 ms so the journal's one-second tick comes as it does for a fast typist. What a
// key costs is the process's CPU time over a round (keys, event loop, ticks and the journal's
// own thread, waited for at the round's end) divided by the keys typed.
#include "base/Text.h"
#include "platform/Commands.h"
#include "qt/editor/QtEditControl.h"
#include "qt/window/PageletWindow.h"
#include "settings/ConfigFile.h"
#include "state/CrashJournal.h"
#include "store/PageFormat.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

using namespace pagelet;

namespace {

double cpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

std::u16string pageOf(int bytes)
{
    const std::u16string pieces[] = {u"오늘은 비가 왔다.", u"Walked to the river and back before lunch, then read.", u"",
                                     u"점심: 김치찌개, 저녁은 친구와 함께 먹었다. It was a long and quiet day."};
    std::u16string text;
    for (int i = 0; static_cast<int>(text.size()) * 2 < bytes; ++i)
        text += pieces[i % 4] + u"\r\n";
    text.resize(static_cast<std::size_t>(bytes / 2));
    return text;
}

struct Side {
    QTemporaryDir dir, state;
    std::unique_ptr<PageletWindow> window;

    Side(bool journal, const std::u16string& text)
    {
        const std::string root = dir.path().toStdString();
        std::filesystem::create_directories(root + "/diary");
        std::filesystem::create_directories(root + "/skin");
        std::filesystem::copy(PAGELET_RES_DIR "/skins/default", root + "/skin/default", std::filesystem::copy_options::recursive);
        writeConfig(fromUtf8(root + "/config.dat"), Settings());
        const Bytes page = encodePage({1, text});
        const std::string today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd")).toStdString();
        std::ofstream(root + "/diary/" + today + ".dry", std::ios::binary)
            .write(reinterpret_cast<const char*>(page.data()), static_cast<std::streamsize>(page.size()));
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tarnwick", "Pagelet").setValue("Program Path", dir.path());
        window = std::make_unique<PageletWindow>();
        if (journal)
            window->dialog().keepHistoryUnder(fromUtf8(state.path().toStdString() + "/"));
        if (!window->start())
            std::abort();
        window->show();
        window->dialog().tap(CMD_EDIT);
        window->editControl().setFocus();
    }

    // CPU seconds per key over keys typed a key every 10 ms.
    double typeRound(int keys)
    {
        QCoreApplication::processEvents();
        const double start = cpuSeconds();
        QElapsedTimer pace;
        pace.start();
        for (int i = 0; i < keys; ++i) {
            // Letters only: the page always differs from the stored one, so every tick writes.
            QKeyEvent press = i % 8 == 7 ? QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "))
                                         : QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QCoreApplication::sendEvent(&window->editControl(), &press);
            // Waited in the event loop, not spun: an idle poll would add the same cost to both.
            const qint64 left = 10 * (i + 1) - pace.elapsed();
            if (left > 0) {
                QEventLoop wait;
                QTimer::singleShot(static_cast<int>(left), Qt::PreciseTimer, &wait, &QEventLoop::quit);
                wait.exec();
            }
        }
        if (CrashJournal* journal = window->dialog().journal()) {
            journal->flush();
            if (journal->pending().empty())
                std::abort(); // the side with the journal must have written it
        }
        return (cpuSeconds() - start) / keys;
    }
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QTemporaryDir registry;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, registry.path());
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 9;
    const int keys = 300; // three seconds a round: three journal ticks on the side that has it
    std::printf("%-8s %14s %14s %22s\n", "page", "off us/key", "on us/key", "on/off [range]");
    for (int bytes : {10 << 10, 100 << 10, 1 << 20}) {
        const std::u16string text = pageOf(bytes);
        Side off(false, text), on(true, text);
        std::vector<double> offKey, onKey, ratio;
        for (int r = 0; r < rounds; ++r) {
            // Interleaved, the first side alternating, so drift and warm-up fall on both.
            const bool onFirst = r % 2;
            const double a = (onFirst ? on : off).typeRound(keys);
            const double b = (onFirst ? off : on).typeRound(keys);
            offKey.push_back(onFirst ? b : a);
            onKey.push_back(onFirst ? a : b);
            ratio.push_back(onKey.back() / offKey.back());
        }
        std::printf("%-8s %8.1f [%.0f-%.0f] %8.1f [%.0f-%.0f] %8.3f [%.3f-%.3f]\n",
                    bytes == (1 << 20) ? "1 MB" : (bytes == (100 << 10) ? "100 KB" : "10 KB"), median(offKey) * 1e6,
                    *std::min_element(offKey.begin(), offKey.end()) * 1e6, *std::max_element(offKey.begin(), offKey.end()) * 1e6,
                    median(onKey) * 1e6, *std::min_element(onKey.begin(), onKey.end()) * 1e6,
                    *std::max_element(onKey.begin(), onKey.end()) * 1e6, median(ratio),
                    *std::min_element(ratio.begin(), ratio.end()), *std::max_element(ratio.begin(), ratio.end()));
    }
    return 0;
}
