#pragma once
#include "qt/ports/QtPlatform.h"
#include "qt/start/UiTranslations.h"

#include <QApplication>

class QSessionManager;

namespace pagelet {

class PageletWindow;

// The application object: runs the main window and ends with it.
class DiaryApp : public QApplication {
public:
    DiaryApp(int& argc, char** argv);
    // Runs the main window to its end; the process's exit status. A desktop start first makes
    // the user's install when none is registered.
    int InitInstance(bool desktop = false);

private:
    // An end the user did not choose at the window: store the page, then leave every loop.
    void endWithoutQuestion(PageletWindow& window);
    void onCommitData(PageletWindow& window, QSessionManager& manager);

    bool m_ending = false;
    QtRegistry::Kept m_registry;
    // The desktop's language, from before the first window is made to the end.
    UiTranslations m_translations;
};

} // namespace pagelet
