#pragma once
#include <QApplication>

namespace pagelet {

// The application object: runs the main window and ends with it.
class DiaryApp : public QApplication {
public:
    DiaryApp(int& argc, char** argv);
    // Runs the main window to its end; the process's exit status.
    int InitInstance();
};

} // namespace pagelet
