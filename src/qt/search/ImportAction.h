#pragma once
#include <QString>
#include <functional>

class QWidget;

namespace pagelet {

class DayNavigation;
class PageStore;
class ShownDay;

// "가져오기...": another diary's file or folder read whole, its plan shown for a yes or no,
// then written all at once; the page on the window and the calendar's marks follow.
void importWithDialog(QWidget* parent, ShownDay& day, DayNavigation& navigation, PageStore& pages);

struct ImportReport {
    bool imported = false;
    QString message;
};
// The same without the dialogs: confirm sees the summary and answers whether to go on.
ImportReport importIntoDiary(const QString& path, ShownDay& day, DayNavigation& navigation, PageStore& pages,
                             const std::function<bool(const QString& summary)>& confirm);

} // namespace pagelet
