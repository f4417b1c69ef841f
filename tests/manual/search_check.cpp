// The real window with the search and the export at hand, for trying them by hand under a
// display until the window's menu offers them: Ctrl+Shift+F searches, Ctrl+E exports.
#include "app/MainDialog.h"
#include "diary/ShownDay.h"
#include "qt/ExportAction.h"
#include "qt/PageletWindow.h"
#include "qt/SearchWindow.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QShortcut>

using namespace pagelet;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    PageletWindow window;
    if (!window.start())
        return 0;
    auto dataPath = [&window] { return window.dialog().settings().dataPath; };
    // The calendar pick stores the page being left first and tells the user when it can't.
    auto jump = [&window](const LocalDate& date) {
        window.dialog().day().onDayPicked(date);
        return localDate(window.dialog().day().selectedDay()) == date;
    };
    auto* search = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+F")), &window);
    search->setContext(Qt::ApplicationShortcut);
    QObject::connect(search, &QShortcut::activated, [&] { openSearchWindow(&window, dataPath(), jump); });
    auto* exporting = new QShortcut(QKeySequence(QStringLiteral("Ctrl+E")), &window);
    QObject::connect(exporting, &QShortcut::activated, [&] { exportDiaryWithDialog(&window, dataPath()); });
    window.show();
    return app.exec();
}
