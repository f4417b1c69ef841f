#include "qt/window/HistoryDialog.h"

#include "app/MainDialog.h"
#include "state/HistoryRestore.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pagelet {

namespace {

QString qs(const std::u16string& text)
{
    return QString::fromStdU16String(text);
}

} // namespace

HistoryDialog::HistoryDialog(QWidget* parent, const PageHistory& history, const LocalDate& date, bool unsaved)
    : QDialog(parent), m_history(history), m_date(date), m_versions(history.versions(date)), m_list(new QListWidget(this)),
      m_preview(new QPlainTextEdit(this))
{
    setWindowTitle(tr("이전 내용"));
    m_preview->setReadOnly(true);
    for (const HistoryVersion& version : m_versions) {
        const auto page = pageOfVersion(history, version, date);
        const QString when = QDateTime::fromMSecsSinceEpoch(version.millis).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const QString first = page ? qs(firstLineOf(page->text)) : QString();
        m_list->addItem(tr("%1  %2 바이트  %3").arg(when).arg(version.size).arg(first));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton* restore = buttons->addButton(tr("되돌리기"), QDialogButtonBox::AcceptRole);
    restore->setEnabled(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(restore, &QPushButton::clicked, this, [this] {
        const int row = m_list->currentRow();
        if (row >= 0)
            m_chosen = pageOfVersion(m_history, m_versions[static_cast<std::size_t>(row)], m_date);
        if (m_chosen)
            accept();
    });
    connect(m_list, &QListWidget::currentRowChanged, this, [this, restore](int row) {
        showPreview(row);
        restore->setEnabled(row >= 0);
    });
    auto* layout = new QVBoxLayout(this);
    if (m_versions.empty())
        layout->addWidget(new QLabel(tr("이 날의 이전 내용이 없습니다."), this));
    layout->addWidget(m_list, 1);
    layout->addWidget(m_preview, 2);
    if (unsaved) {
        auto* kept = new QLabel(tr("지금 쓰고 있는 저장하지 않은 내용은 되돌리기 전에 이전 내용으로 보관됩니다."), this);
        kept->setObjectName(QStringLiteral("unsavedKept"));
        kept->setWordWrap(true);
        layout->addWidget(kept);
    }
    layout->addWidget(buttons);
    resize(420, 360);
    if (!m_versions.empty())
        m_list->setCurrentRow(0);
}

void HistoryDialog::showPreview(int row)
{
    const auto page = row >= 0 ? pageOfVersion(m_history, m_versions[static_cast<std::size_t>(row)], m_date) : std::nullopt;
    m_preview->setPlainText(page ? qs(page->text) : QString());
}

void showHistoryDialog(QWidget* parent, MainDialog& dialog)
{
    PageHistory* history = dialog.history();
    if (!history) {
        QMessageBox::information(parent, QStringLiteral("Pagelet"), HistoryDialog::tr("이전 내용을 보관하지 않습니다."));
        return;
    }
    HistoryDialog box(parent, *history, localDate(dialog.day().selectedDay()), dialog.day().hasUnstoredText());
    if (box.exec() == QDialog::Accepted && box.chosen())
        dialog.day().restoreVersion(*box.chosen());
}

} // namespace pagelet
