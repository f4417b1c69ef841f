#include "qt/PageletWindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationName(QStringLiteral("Pagelet"));

    pagelet::PageletWindow window;
    if (!window.start())
        return 0;
    window.show();
    return app.exec();
}
