// pagelet-icons: draws the program icon at the sizes the desktop's icon theme asks for.
// Usage: pagelet-icons OUT_DIR SIZE... writes OUT_DIR/SIZExSIZE.png
#include "../skingen/Art.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: pagelet-icons OUT_DIR SIZE...\n");
        return 2;
    }
    QDir().mkpath(args[0]);
    for (const QString& size : args.mid(1)) {
        const int side = size.toInt();
        const QString file = QString("%1/%2x%2.png").arg(args[0]).arg(side);
        // Drawn at each size rather than scaled, so small icons stay crisp.
        if (side < 16 || !skingen::programIcon(side).save(file, "PNG")) {
            std::fprintf(stderr, "pagelet-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
