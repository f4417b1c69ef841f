#pragma once
#include <QString>

class QWidget;

namespace pagelet {

class PageStore;

// "내보내기...": asks where, with Markdown and a web page to choose from, writes the whole
// diary there and tells the user how it went.
void exportDiaryWithDialog(QWidget* parent, const PageStore& pages);

// The same without the file dialog: a name without either ending gets the one filter asks
// for. Returns what the user is told, and whether it was written.
struct ExportReport {
    bool written = false;
    QString message;
};
ExportReport exportDiaryToFile(const PageStore& pages, QString file, bool html);

} // namespace pagelet
