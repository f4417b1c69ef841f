// The floor for a start: a bare Qt window of the main window's size, ending at its first paint.
#include "FirstPaintExit.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    FirstPaintExit exitAtPaint;
    app.installEventFilter(&exitAtPaint);
    QWidget window;
    window.resize(240, 270);
    window.show();
    return app.exec();
}
