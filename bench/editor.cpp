// The page editor on the real widget beside a stock QPlainTextEdit of the same size, in the
// same run: opening a page (set the text, paint) and a typed key to the painted page, at
// 10 KB to 10 MB and on one line of 1,000,000 characters without a space.
#include "fakes/Fakes.h"
#include "qt/editor/QtEditControl.h"
#include "qt/graphics/QtGraphics.h"
#include "qt/graphics/Zoom.h"
#include "ui/DiaryEdit.h"
#include "WithApplication.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWidget>

#include <benchmark/benchmark.h>
#include <map>
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

struct Stock {
    Stock()
    {
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

BENCHMARK(BM_Open<Pagelet>)->Apply(sizes);
BENCHMARK(BM_Open<Stock>)->Apply(sizes);
BENCHMARK(BM_TypedKey<Pagelet>)->Apply(sizes);
BENCHMARK(BM_TypedKey<Stock>)->Apply(sizes);
BENCHMARK(BM_TimeStamp)->Apply(sizes);
BENCHMARK(BM_Open<Pagelet>)->Apply(longLine);
BENCHMARK(BM_Open<Stock>)->Apply(longLine);
BENCHMARK(BM_TypedKey<Pagelet>)->Apply(longLine);
BENCHMARK(BM_TypedKey<Stock>)->Apply(longLine);

} // namespace

int main(int argc, char** argv)
{
    return runWithApplication(argc, argv);
}
