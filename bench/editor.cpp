// The page editor on the real widget: a key press through to the painted page, and a full
// repaint, both on a 2,000-line page.
#include "fakes/Fakes.h"
#include "qt/QtEditControl.h"
#include "qt/QtGraphics.h"
#include "ui/DiaryEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWidget>

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

using namespace pagelet;

namespace {

constexpr int kLines = 2000;

struct Page {
    Page()
        : control(new QtEditControl(&window)), editor(*control, graphics, keyboard)
    {
        QImage paper(240, 270, QImage::Format_RGB32);
        QPainter p(&paper);
        p.fillRect(paper.rect(), QColor(250, 246, 232));
        for (int y = 46; y < 270; y += 14)
            p.fillRect(0, y, 240, 1, QColor(190, 205, 230));
        p.end();
        background = std::make_unique<QtBitmap>(paper);

        window.resize(240, 270);
        control->attach(&editor);
        editor.background = &background;
        editor.lineHeight = 14;
        editor.create({3, 30, 237, 250});
        window.show();
        QApplication::setActiveWindow(&window);
        control->setFocus();

        std::u16string text;
        for (int i = 0; i < kLines; ++i) {
            if (i > 0)
                text += u"\r\n";
            text += u"Line " + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) + u": 오늘의 일기";
        }
        editor.setText(text);
        editor.setEditable(true);
        // Work in the middle of the page, where every line above and below counts.
        control->setSelection(control->lineIndex(kLines / 2) + 4, control->lineIndex(kLines / 2) + 4);
        control->scrollCaret();
        QApplication::processEvents();
    }
    ~Page() { control->attach(nullptr); }

    void key(int code, const QString& text)
    {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
        QApplication::sendEvent(control, &press);
    }
    void paint() { control->viewport()->repaint(); }

    QWidget window;
    QtGraphics graphics;
    std::unique_ptr<Bitmap> background;
    QtEditControl* control;
    fakes::FakeSoftInput panel;
    PanelKeyboard keyboard {panel};
    DiaryEdit editor;
};

Page& page()
{
    static Page p;
    return p;
}

void BM_KeystrokeToPaintedPage(benchmark::State& state)
{
    Page& p = page();
    bool typeNext = true;
    for (auto _ : state) {
        // Type a letter, then take it back, so the page stays the same size.
        if (typeNext)
            p.key(Qt::Key_A, QStringLiteral("a"));
        else
            p.key(Qt::Key_Backspace, QString());
        typeNext = !typeNext;
        p.paint();
    }
    state.counters["lines"] = p.editor.lineCount;
    if (p.editor.lineCount < kLines)
        state.SkipWithError("the page did not hold its lines");
}
BENCHMARK(BM_KeystrokeToPaintedPage)->Unit(benchmark::kMicrosecond);

void BM_FullRepaint(benchmark::State& state)
{
    Page& p = page();
    for (auto _ : state) {
        p.editor.needsRedraw = true;
        p.paint();
    }
    state.counters["lines"] = p.editor.lineCount;
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

void BM_SelectAllThenPaint(benchmark::State& state)
{
    Page& p = page();
    for (auto _ : state) {
        p.control->selectAll();
        p.paint();
        p.control->setSelection(0, 0);
    }
}
BENCHMARK(BM_SelectAllThenPaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
