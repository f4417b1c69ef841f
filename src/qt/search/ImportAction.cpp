#include "qt/search/ImportAction.h"

#include "app/DayNavigation.h"
#include "base/Day.h"
#include "diary/ShownDay.h"
#include "import/DayImport.h"
#include "import/ImportSource.h"
#include "qt/ports/QtPropertyLists.h"
#include "qt/ports/QtZoneOffsets.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace pagelet {

namespace {

// The context the texts are translated in.
struct ImportAction {
    Q_DECLARE_TR_FUNCTIONS(ImportAction)
};

// Shown in the question: enough days to recognise the source, not a page of them.
constexpr std::size_t kDaysListed = 8;

QString refused(const std::string& why)
{
    return ImportAction::tr("가져올 수 없습니다. 아무것도 바꾸지 않았습니다.\n%1").arg(QString::fromStdString(why));
}

QString counts(const ImportPlan& plan)
{
    QString text = ImportAction::tr("항목 %n개, 일기 %1일 (새 일기 %2일)", nullptr, plan.entries)
                       .arg(plan.days.size())
                       .arg(plan.newPages);
    if (plan.skipped > 0)
        text += ImportAction::tr(", 이미 있는 항목 %n개 건너뜀", nullptr, plan.skipped);
    return text;
}

QString summaryOf(const ImportPlan& plan)
{
    QString text = ImportAction::tr("가져올 내용: %1").arg(counts(plan)) + QStringLiteral("\n");
    for (std::size_t i = 0; i < plan.days.size() && i < kDaysListed; ++i) {
        const ImportedDay& day = plan.days[i];
        text += QStringLiteral("\n") + QString::fromStdU16String(isoDate(day.date)) + QStringLiteral("  ") +
                (day.newPage ? ImportAction::tr("새 일기") : ImportAction::tr("있는 일기에 덧붙임"));
    }
    if (plan.days.size() > kDaysListed)
        text += QStringLiteral("\n…");
    return text + QStringLiteral("\n\n") + ImportAction::tr("가져올까요?");
}

} // namespace

ImportReport importIntoDiary(const QString& path, ShownDay& day, DayNavigation& navigation, PageStore& pages,
                             const std::function<bool(const QString& summary)>& confirm)
{
    const QtPropertyLists lists;
    const auto source = readImportSource(path.toStdU16String(), {}, &lists);
    if (!source)
        return {false, refused(source.error())};
    // The page on the window goes to the store first, so the import merges into what the
    // user sees and the window never writes an older text over it afterwards.
    if (!day.storeShownPage())
        return {false, {}};
    const auto planned = planImport(*source, pages, QtZoneOffsets());
    if (!planned)
        return {false, refused(planned.error())};
    const ImportPlan& plan = *planned;
    if (plan.days.empty())
        return {false, ImportAction::tr("새로 가져올 내용이 없습니다. 모두 이미 일기에 있습니다.")};
    if (!confirm(summaryOf(plan)))
        return {false, {}};
    const auto applied = applyImport(plan, pages);
    navigation.reloadFromDataFolder();
    if (!applied)
        return {false, refused(applied.error())};
    return {true, ImportAction::tr("가져왔습니다: %1").arg(counts(plan))};
}

void importWithDialog(QWidget* parent, ShownDay& day, DayNavigation& navigation, PageStore& pages)
{
    const QString title = ImportAction::tr("가져오기");
    QMessageBox ask(QMessageBox::Question, title, ImportAction::tr("다른 일기의 파일을 가져올까요, 폴더를 가져올까요?"),
                    QMessageBox::Cancel, parent);
    QPushButton* file = ask.addButton(ImportAction::tr("파일..."), QMessageBox::AcceptRole);
    QPushButton* folder = ask.addButton(ImportAction::tr("폴더..."), QMessageBox::AcceptRole);
    ask.exec();
    QString path;
    if (ask.clickedButton() == file)
        path = QFileDialog::getOpenFileName(parent, title, QDir::homePath());
    else if (ask.clickedButton() == folder)
        path = QFileDialog::getExistingDirectory(parent, title, QDir::homePath());
    if (path.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ImportReport report = importIntoDiary(path, day, navigation, pages, [&](const QString& summary) {
        QApplication::restoreOverrideCursor();
        const bool yes = QMessageBox::question(parent, title, summary) == QMessageBox::Yes;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return yes;
    });
    QApplication::restoreOverrideCursor();
    if (report.message.isEmpty())
        return;
    if (report.imported)
        QMessageBox::information(parent, title, report.message);
    else
        QMessageBox::warning(parent, title, report.message);
}

} // namespace pagelet
