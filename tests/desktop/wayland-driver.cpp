// The real program on a Wayland compositor, with keys read from standard input. A headless
// compositor has no seat, so no key can come through it: each line names keys (as a
// QKeySequence, or "text:WORDS" to type) and they are sent to the window that would have the
// keyboard: the recorder or another modal window, else the diary. Each line is answered with
// "done LINE" and the window that has the keyboard once its events have run. "mapped" is printed when the
// compositor has shown the diary window.
#include "qt/start/CommandLine.h"
#include "qt/start/DiaryApp.h"

#include <QSocketNotifier>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <string>
#include <unistd.h>

using namespace pagelet;

namespace {

constexpr int kSettleMs = 300;

QWidget* keyboardWindow()
{
    if (QWidget* w = QApplication::activePopupWidget())
        return w;
    if (QWidget* w = QApplication::activeModalWidget())
        return w;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == QStringLiteral("Pagelet") && !w->parentWidget())
            return w;
    return nullptr;
}

void report(const QString& line)
{
    // The window that has the keyboard now: the one a key opened, or the diary again.
    QWidget* window = keyboardWindow();
    std::printf("done %s %s %dx%d\n", qPrintable(line), window ? window->metaObject()->className() : "none",
                window ? window->width() : 0, window ? window->height() : 0);
}

void press(const QString& line)
{
    QWidget* window = keyboardWindow();
    if (!window) {
        report(line);
        return;
    }
    // Without a seat the compositor never hands out the keyboard: take it as the user's click would.
    QApplication::setActiveWindow(window);
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    // A key that opens a modal dialog runs its loop until it closes: the report comes from
    // inside that loop.
    QTimer::singleShot(kSettleMs, [line] { report(line); });
    if (line.startsWith(QStringLiteral("text:"))) {
        QTest::keyClicks(target, line.mid(5));
    } else {
        const QKeyCombination key = QKeySequence(line)[0];
        QTest::keyClick(target, key.key(), key.keyboardModifiers());
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    DiaryApp app(argc, argv);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    std::string pending;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false);
            return;
        }
        pending.append(buffer, size_t(n));
        for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            const QString line = QString::fromStdString(pending.substr(0, end));
            QTimer::singleShot(0, [line] { press(line); });
        }
    });
    QTimer mapped;
    mapped.setInterval(50);
    QObject::connect(&mapped, &QTimer::timeout, [&] {
        QWidget* diary = keyboardWindow();
        if (diary && diary->windowHandle() && diary->windowHandle()->isExposed()) {
            std::printf("mapped %s %dx%d\n", qPrintable(QGuiApplication::platformName()), diary->width(), diary->height());
            mapped.stop();
        }
    });
    mapped.start();
    return app.InitInstance();
}
