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

HistoryDialog::HistoryDialog(QWidget* parent, const PageHistory& history, const PageStore& store, const LocalDate& date,
                             bool unsaved)
    : QDialog(parent), m_history(history), m_store(store), m_date(date), m_versions(history.versions(date)), m_list(new QListWidget(this)),
      m_preview(new QPlainTextEdit(this))
{
    setWindowTitle(tr("이전 내용"));
    m_preview->setReadOnly(true);
    for (std::size_t row = 0; row < m_versions.size(); ++row) {
        const HistoryVersion& version = m_versions[row];
        const auto page = pageAt(static_cast<int>(row));
        const QString when = QDateTime::fromMSecsSinceEpoch(version.millis).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const QString first = page ? qs(firstLineOf(page->text)) : tr("(열 수 없는 버전)");
        m_list->addItem(tr("%1  %2 바이트  %3").arg(when).arg(version.size).arg(first));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton* restore = buttons->addButton(tr("되돌리기"), QDialogButtonBox::AcceptRole);
    restore->setEnabled(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(restore, &QPushButton::clicked, this, [this] {
        m_chosen = pageAt(m_list->currentRow());
        if (m_chosen)
            accept();
    });
    connect(m_list, &QListWidget::currentRowChanged, this, [this, restore](int row) {
        const auto page = pageAt(row);
        if (page)
            m_preview->setPlainText(qs(page->text));
        else
            m_preview->setPlainText(row >= 0 ? tr("이 버전은 열 수 없습니다. 파일이 손상되었거나 다른 키로 암호화되었습니다.") : QString());
        restore->setEnabled(page.has_value());
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

std::optional<Page> HistoryDialog::pageAt(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_versions.size()))
        return std::nullopt;
    return pageOfVersion(m_history, m_versions[static_cast<std::size_t>(row)], m_date, &m_store);
}

void showHistoryDialog(QWidget* parent, MainDialog& dialog)
{
    PageHistory* history = dialog.history();
    if (!history) {
        QMessageBox::information(parent, QStringLiteral("Pagelet"), HistoryDialog::tr("이전 내용을 보관하지 않습니다."));
        return;
    }
    HistoryDialog box(parent, *history, dialog.pages(), localDate(dialog.day().selectedDay()), dialog.day().hasUnstoredText());
    if (box.exec() == QDialog::Accepted && box.chosen())
        dialog.commands().restoreVersion(*box.chosen());
}

} // namespace pagelet
