#include "qt/ExportAction.h"

#include "diary/DiaryExport.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace pagelet {

namespace {

const QString kMarkdownFilter = QStringLiteral("Markdown (*.md)");
const QString kHtmlFilter = QStringLiteral("웹 페이지 (*.html)");

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
        return {false, QStringLiteral("일기 폴더를 읽을 수 없습니다.")};
    case Outcome::InsideDataFolder:
        return {false, QStringLiteral("일기 폴더 안에는 내보낼 수 없습니다.\n다른 곳을 고르십시오.")};
    case Outcome::WriteFailed:
        return {false, QStringLiteral("%1\n파일을 쓸 수 없습니다. 아무것도 쓰지 않았습니다.").arg(file)};
    case Outcome::Written:
        break;
    }
    QString message = QStringLiteral("일기 %1일을 내보냈습니다.\n%2").arg(summary.days).arg(file);
    if (!summary.unreadable.empty())
        message += QStringLiteral("\n\n읽을 수 없는 일기 %1개는 건너뛰었습니다.").arg(summary.unreadable.size());
    return {true, message};
}

void exportDiaryWithDialog(QWidget* parent, const PageStore& pages)
{
    QString filter = kMarkdownFilter;
    const QString file = QFileDialog::getSaveFileName(parent, QStringLiteral("내보내기"),
                                                      QDir::home().filePath(QStringLiteral("diary.md")),
                                                      kMarkdownFilter + QStringLiteral(";;") + kHtmlFilter, &filter);
    if (file.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ExportReport report = exportDiaryToFile(pages, file, filter == kHtmlFilter);
    QApplication::restoreOverrideCursor();
    if (report.written)
        QMessageBox::information(parent, QStringLiteral("내보내기"), report.message);
    else
        QMessageBox::warning(parent, QStringLiteral("내보내기"), report.message);
}

} // namespace pagelet
