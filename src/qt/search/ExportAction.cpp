#include "qt/search/ExportAction.h"

#include "diary/DiaryExport.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace pagelet {

namespace {

// The context the texts are translated in.
struct ExportAction {
    Q_DECLARE_TR_FUNCTIONS(ExportAction)
};

QString markdownFilter()
{
    return ExportAction::tr("Markdown (*.md)");
}

QString htmlFilter()
{
    return ExportAction::tr("웹 페이지 (*.html)");
}

} // namespace

ExportReport exportDiaryToFile(const PageStore& pages, QString file, bool html)
{
    auto format = exportFormatOf(file.toStdU16String());
    if (!format) {
        file += html ? QStringLiteral(".html") : QStringLiteral(".md");
        format = html ? ExportFormat::Html : ExportFormat::Markdown;
    }
    const ExportSummary summary = exportDiary(pages, file.toStdU16String(), *format);
    using Outcome = ExportSummary::Outcome;
    switch (summary.outcome) {
    case Outcome::FolderUnreadable:
        return {false, ExportAction::tr("일기 폴더를 읽을 수 없습니다.")};
    case Outcome::InsideDataFolder:
        return {false, ExportAction::tr("일기 폴더 안에는 내보낼 수 없습니다.\n다른 곳을 고르십시오.")};
    case Outcome::WriteFailed:
        return {false, ExportAction::tr("%1\n파일을 쓸 수 없습니다. 아무것도 쓰지 않았습니다.").arg(file)};
    case Outcome::Written:
        break;
    }
    // Counts go in as %n so a translation can choose its plural form.
    QString message = ExportAction::tr("일기 %n일을 내보냈습니다.\n%1", nullptr, summary.days).arg(file);
    if (summary.memos > 0)
        message += ExportAction::tr("\n\n음성 메모 %n개를 옆 폴더에 복사했습니다.\n%1", nullptr, summary.memos)
                       .arg(QString::fromStdU16String(memoFolderFor(file.toStdU16String())));
    if (!summary.memosNotCopied.empty())
        message += ExportAction::tr("\n\n읽을 수 없는 음성 메모 %n개는 건너뛰었습니다.", nullptr,
                                    static_cast<int>(summary.memosNotCopied.size()));
    if (!summary.unreadable.empty())
        message += ExportAction::tr("\n\n읽을 수 없는 일기 %n개는 건너뛰었습니다.", nullptr,
                                    static_cast<int>(summary.unreadable.size()));
    return {true, message};
}

void exportDiaryWithDialog(QWidget* parent, const PageStore& pages)
{
    QString filter = markdownFilter();
    const QString file = QFileDialog::getSaveFileName(parent, ExportAction::tr("내보내기"),
                                                      QDir::home().filePath(QStringLiteral("diary.md")),
                                                      markdownFilter() + QStringLiteral(";;") + htmlFilter(), &filter);
    if (file.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ExportReport report = exportDiaryToFile(pages, file, filter == htmlFilter());
    QApplication::restoreOverrideCursor();
    if (report.written)
        QMessageBox::information(parent, ExportAction::tr("내보내기"), report.message);
    else
        QMessageBox::warning(parent, ExportAction::tr("내보내기"), report.message);
}

} // namespace pagelet
