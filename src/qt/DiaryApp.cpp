#include "qt/DiaryApp.h"

#include "app/SoftKeyboard.h"
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
    setSoftKeyboardState(false);
    PageletWindow window;
    setSoftKeyboardOwner(nullptr); // the start-up hands the shell the real window
    if (!window.start())
        return 0;
    window.show();
    return exec();
}

} // namespace pagelet
