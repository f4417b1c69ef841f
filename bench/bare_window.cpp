// The floor for a start: a bare Qt window of the main window's size. Timed from outside, with
// the first-paint hook preloaded.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(240, 270);
    window.show();
    return app.exec();
}
