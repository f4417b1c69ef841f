// The floor for a start with a page: a bare window of the main window's size holding a stock
// QPlainTextEdit that opens the page file given (the same bytes Pagelet reads: 8 bytes of
// header, then UTF-16LE text). Timed from outside, with the first-paint hook preloaded.
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(240, 270);
    auto* edit = new QPlainTextEdit(&window);
    edit->setGeometry(3, 40, 234, 228);
    if (argc > 1) {
        QFile file(QString::fromLocal8Bit(argv[1]));
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray bytes = file.readAll();
        if (bytes.size() > 8)
            edit->setPlainText(QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 8), (bytes.size() - 8) / 2));
    }
    window.show();
    return app.exec();
}
