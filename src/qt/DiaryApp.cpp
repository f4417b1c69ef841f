#include "qt/DiaryApp.h"

#include "qt/PageletWindow.h"

namespace pagelet {

DiaryApp::DiaryApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Tarnwick"));
    setApplicationName(QStringLiteral("Pagelet"));
    setQuitOnLastWindowClosed(true);
}

int DiaryApp::InitInstance()
{
    PageletWindow window;
    if (!window.start())
        return 0;
    window.show();
    return exec();
}

} // namespace pagelet
