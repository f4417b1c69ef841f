// Pagelet's own start (as its main runs it), ending at the main window's first paint.
#include "FirstPaintExit.h"
#include "qt/start/DiaryApp.h"

int main(int argc, char** argv)
{
    pagelet::DiaryApp app(argc, argv);
    FirstPaintExit exitAtPaint;
    app.installEventFilter(&exitAtPaint);
    return app.InitInstance(false);
}
