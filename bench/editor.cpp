// The page editor on the real widget beside a stock QPlainTextEdit of the same size, in the
// same run: opening a page (set the text, paint) and a typed key to the painted page, at
// 10 KB to 10 MB and on one line of 1,000,000 characters without a space.
#include "fakes/Fakes.h"
#include "qt/editor/QtEditControl.h"
#include "qt/graphics/QtGraphics.h"
#include "qt/graphics/Zoom.h"
#include "ui/DiaryEdit.h"
#include "ProcessRace.h"
#include "WithApplication.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWidget>

#include <benchmark/benchmark.h>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <ctime>
#include <memory>

using namespace pagelet;

namespace {

constexpr int kLongLine = -1; // the size argument for the line without a space

// bytes as stored (two per unit): short and long paragraphs, some wrapping, Hangul and ASCII.
const std::u16string& pageOf(int bytes)
{
    static std::map<int, std::u16string> made;
    auto& text = made[bytes];
    if (!text.empty())
        return text;
    if (bytes == kLongLine)
        return text = std::u16string(1'000'000, u'x');
    const std::u16string pieces[] = {u"오늘은 비가 왔다.", u"Walked to the river and back before lunch, then read.",
                                     u"", u"점심: 김치찌개, 저녁은 친구와 함께 먹었다. It was a long and quiet day."};
    for (int i = 0; static_cast<int>(text.size()) * 2 < bytes; ++i)
        text += pieces[i % 4] + u"\r\n";
    text.resize(static_cast<std::size_t>(bytes / 2));
    return text;
}

QKeyEvent typed(int i)
{
    // A letter, then taking it back, so the page keeps its size.
    return i % 2 == 0 ? QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"))
                      : QKeyEvent(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QString());
}

QImage ruledPaper()
{
    QImage paper(240, 270, QImage::Format_RGB32);
    QPainter p(&paper);
    p.fillRect(paper.rect(), QColor(250, 246, 232));
    for (int y = 46; y < 270; y += 14)
        p.fillRect(0, y, 240, 1, QColor(190, 205, 230));
    return paper;
}

struct Pagelet {
    Pagelet() : control(new QtEditControl(&window, zoom)), editor(*control, graphics, keyboard)
    {
        background = std::make_unique<QtBitmap>(ruledPaper());
        window.resize(240, 270);
        control->attach(&editor);
        editor.background = &background;
        editor.create({0, 0, 240, 270});
        window.show();
        QApplication::setActiveWindow(&window);
        control->setFocus();
        QApplication::processEvents();
    }
    ~Pagelet() { control->attach(nullptr); }

    void open(const std::u16string& text)
    {
        editor.setText(text);
        editor.setEditable(true);
        control->viewport()->repaint();
    }
    void putCaretMidway(const std::u16string& text)
    {
        const int at = static_cast<int>(text.size() / 2);
        control->setSelection(at, at);
        control->scrollCaret();
        QApplication::processEvents();
    }
    void key(int i)
    {
        QKeyEvent press = typed(i);
        QApplication::sendEvent(control, &press);
        control->viewport()->repaint();
    }

    Zoom zoom;
    QWidget window;
    QtGraphics graphics {zoom};
    std::unique_ptr<Bitmap> background;
    QtEditControl* control;
    fakes::FakeSoftInput panel;
    PanelKeyboard keyboard {panel};
    DiaryEdit editor;
};

// Anywhere: the stock editor breaking lines anywhere, as Pagelet does on a page with a run
// too long for a line; else at word boundaries, its default.
template <bool Anywhere>
struct StockEditor {
    StockEditor()
    {
        if (Anywhere)
            edit.setWordWrapMode(QTextOption::WrapAnywhere);
        edit.resize(240, 270);
        edit.show();
        QApplication::setActiveWindow(&edit);
        edit.setFocus();
        QApplication::processEvents();
    }
    void open(const std::u16string& text)
    {
        edit.setPlainText(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
        edit.viewport()->repaint();
    }
    void putCaretMidway(const std::u16string& text)
    {
        QTextCursor c = edit.textCursor();
        c.setPosition(static_cast<int>(text.size() / 2) - edit.document()->blockCount() / 2);
        edit.setTextCursor(c);
        QApplication::processEvents();
    }
    void key(int i)
    {
        QKeyEvent press = typed(i);
        QApplication::sendEvent(&edit, &press);
        edit.viewport()->repaint();
    }

    QPlainTextEdit edit;
};
using Stock = StockEditor<false>;
using StockAnywhere = StockEditor<true>;

double threadCpuMs()
{
    // The thread's clock, not rusage: rusage counts in scheduler ticks, too coarse for 10 KB.
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return 1e3 * static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_nsec);
}

// Both editors open the page in every iteration, the order turning each time; the medians
// of each side's wall and CPU time are the counters, with the spread (25th to 75th centile).
template <class Stock>
void BM_OpenInTurn(benchmark::State& state)
{
    const std::u16string& text = pageOf(static_cast<int>(state.range(0)));
    Pagelet ours;
    Stock theirs;
    std::vector<double> wall[2], cpu[2];
    bool oursFirst = true;
    const auto timed = [&](int side, auto&& open) {
        const auto begin = std::chrono::steady_clock::now();
        const double cpuBegin = threadCpuMs();
        open();
        cpu[side].push_back(threadCpuMs() - cpuBegin);
        wall[side].push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
    };
    for (auto _ : state) {
        for (int k = 0; k < 2; ++k) {
            if ((k == 0) == oursFirst)
                timed(0, [&] { ours.open(text); });
            else
                timed(1, [&] { theirs.open(text); });
        }
        oursFirst = !oursFirst;
    }
    const auto centile = [](std::vector<double> v, double q) {
        std::sort(v.begin(), v.end());
        return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5)];
    };
    for (int side = 0; side < 2; ++side) {
        const std::string name = side == 0 ? "pagelet_" : "stock_";
        state.counters[name + "wall_ms"] = centile(wall[side], 0.5);
        state.counters[name + "cpu_ms"] = centile(cpu[side], 0.5);
        state.counters[name + "cpu_p25"] = centile(cpu[side], 0.25);
        state.counters[name + "cpu_p75"] = centile(cpu[side], 0.75);
    }
    state.counters["cpu_ratio"] = centile(cpu[0], 0.5) / centile(cpu[1], 0.5);
    state.counters["wall_ratio"] = centile(wall[0], 0.5) / centile(wall[1], 0.5);
}

template <class Editor>
void BM_Open(benchmark::State& state)
{
    const std::u16string& text = pageOf(static_cast<int>(state.range(0)));
    Editor e;
    for (auto _ : state)
        e.open(text);
}

template <class Editor>
void BM_TypedKey(benchmark::State& state)
{
    const std::u16string& text = pageOf(static_cast<int>(state.range(0)));
    Editor e;
    e.open(text);
    e.putCaretMidway(text);
    int i = 0;
    for (auto _ : state)
        e.key(i++);
}

// The time stamp put in at the caret and taken back out, each step painted.
void BM_TimeStamp(benchmark::State& state)
{
    const std::u16string& text = pageOf(static_cast<int>(state.range(0)));
    Pagelet e;
    e.open(text);
    e.putCaretMidway(text);
    for (auto _ : state) {
        e.editor.insertText(u"14 : 05 : 09 ");
        e.control->viewport()->repaint();
        e.control->undo();
        e.control->viewport()->repaint();
    }
}

void sizes(benchmark::internal::Benchmark* b)
{
    for (int bytes : {10 << 10, 100 << 10, 1 << 20, 10 << 20})
        b->Arg(bytes);
    b->Unit(benchmark::kMillisecond);
}

// The widget's own line breaking takes a long time on the long line: one round says enough.
void longLine(benchmark::internal::Benchmark* b)
{
    b->Arg(kLongLine)->Iterations(1)->Unit(benchmark::kMillisecond);
}

// Every size opened in turn 15 times, 10 MB included. The long line is opened in turn with the
// stock editor breaking anywhere: at word boundaries it takes minutes an open (see the README).
void inTurn(benchmark::internal::Benchmark* b)
{
    for (int bytes : {10 << 10, 1 << 20, 10 << 20})
        b->Arg(bytes);
    b->Iterations(15)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Open<Pagelet>)->Apply(sizes);
BENCHMARK(BM_Open<Stock>)->Apply(sizes);
BENCHMARK(BM_TypedKey<Pagelet>)->Apply(sizes);
BENCHMARK(BM_TypedKey<Stock>)->Apply(sizes);
BENCHMARK(BM_TimeStamp)->Apply(sizes);
BENCHMARK(BM_Open<Pagelet>)->Apply(longLine);
BENCHMARK(BM_Open<Stock>)->Apply(longLine);
BENCHMARK(BM_TypedKey<Pagelet>)->Apply(longLine);
BENCHMARK(BM_TypedKey<Stock>)->Apply(longLine);
BENCHMARK(BM_TypedKey<StockAnywhere>)->Apply(longLine);
// The long line against the stock editor breaking anywhere too, as Pagelet does there.
BENCHMARK(BM_OpenInTurn<StockAnywhere>)->Arg(kLongLine)->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenInTurn<Stock>)->Apply(inTurn);

// --rss pagelet|stock BYTES: one editor opens one page and the process ends, for its peak
// memory measured from outside, each side in a process of its own.
int openOnly(const char* side, int bytes)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "bench_editor";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    const std::u16string& text = pageOf(bytes);
    if (std::string(side) == "pagelet") {
        Pagelet e;
        e.open(text);
    } else {
        Stock e;
        e.open(text);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--rss")
        return openOnly(argv[2], std::atoi(argv[3]));
    // --rss-race BYTES: the two sides' peak memory, each in its own process, interleaved.
    if (argc == 3 && std::string(argv[1]) == "--rss-race") {
        const std::string self = "/proc/self/exe";
        const std::string exe = std::filesystem::read_symlink(self).string();
        const std::vector<Side> sides {{"stock QPlainTextEdit", {exe, "--rss", "stock", argv[2]}, {}},
                                       {"pagelet editor", {exe, "--rss", "pagelet", argv[2]}, {}}};
        const auto result = race(sides, 3, 5);
        report((std::string("open a page of ") + argv[2] + " bytes, a process a side").c_str(), sides, result, 5);
        return 0;
    }
    return runWithApplication(argc, argv);
}
