#include "qt/search/SearchWindow.h"

#include "qt/search/SearchHitDelegate.h"
#include "store/PlainPageStore.h"
#include "text/Catalogue.h"

#include <QAction>
#include <QCheckBox>
#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace pagelet {

namespace {

// Long lines are shown around the word: the row is narrow.
constexpr int kLead = 16;
constexpr int kShownUnits = 200;

} // namespace

SearchWindow::SearchWindow(QWidget* parent, std::u16string dataFolder, Jump jump)
    : QWidget(parent, Qt::Window), m_folder(std::move(dataFolder)), m_jump(std::move(jump))
{
    setObjectName(QStringLiteral("searchWindow"));
    setWindowTitle(tr("모든 일기에서 찾기"));
    auto* layout = new QVBoxLayout(this);
    auto* wordLabel = new QLabel(tr("찾는 단어"), this);
    layout->addWidget(wordLabel);
    m_word = new QLineEdit(this);
    wordLabel->setBuddy(m_word);
    layout->addWidget(m_word);
    m_matchCase = new QCheckBox(tr("대소문자 구별"), this);
    layout->addWidget(m_matchCase);
    m_results = new QListWidget(this);
    m_results->setAccessibleName(tr("결과"));
    m_results->setItemDelegate(new SearchHitDelegate(m_results));
    m_results->setUniformItemSizes(true);
    layout->addWidget(m_results, 1);
    m_status = new QLabel(this);
    layout->addWidget(m_status);
    resize(320, 420);

    // Hits arrive on the worker's thread; the window takes them in on its own.
    m_worker = std::make_unique<SearchWorker>(
        m_folding, SearchWorker::Events {
                       [this](std::uint64_t search, const SearchHit& hit) {
                           QMetaObject::invokeMethod(this, [this, search, hit] { addHit(search, hit); }, Qt::QueuedConnection);
                       },
                       [this](std::uint64_t search, const SearchSummary& summary) {
                           QMetaObject::invokeMethod(this, [this, search, summary] { finish(search, summary); },
                                                     Qt::QueuedConnection);
                       }});

    // Closed by the keys every small window of the desktop closes with.
    auto* closing = new QAction(this);
    closing->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    addAction(closing);
    connect(closing, &QAction::triggered, this, &QWidget::close);

    connect(m_word, &QLineEdit::textChanged, this, &SearchWindow::restart);
    connect(m_matchCase, &QCheckBox::toggled, this, &SearchWindow::restart);
    connect(m_results, &QListWidget::itemActivated, this, &SearchWindow::activate);
    // Return in the word box takes the chosen row, or the newest.
    connect(m_word, &QLineEdit::returnPressed, this, [this] {
        activate(m_results->currentItem() ? m_results->currentItem() : m_results->item(0));
    });
}

SearchWindow::~SearchWindow()
{
    m_worker.reset(); // nothing is reported after this
}

void SearchWindow::setDataFolder(std::u16string folder)
{
    if (folder == m_folder)
        return;
    m_folder = std::move(folder);
    restart();
}

QString SearchWindow::dateText(const LocalDate& date)
{
    return tr("%1년 %2월 %3일 (%4)")
        .arg(date.year)
        .arg(date.month)
        .arg(date.day)
        .arg(QString::fromStdU16String(weekdayName(date)));
}

void SearchWindow::restart()
{
    m_results->clear();
    const std::u16string word = m_word->text().toStdU16String();
    if (word.empty()) {
        m_worker->cancel();
        m_searching = false;
        m_status->clear();
        return;
    }
    m_searching = true;
    m_status->setText(tr("찾는 중..."));
    std::shared_ptr<const PageStore> pages = openStore ? openStore() : std::make_shared<PlainPageStore>(m_folder);
    m_worker->start(std::move(pages), {word, m_matchCase->isChecked(), SearchOrder::NewestFirst});
}

void SearchWindow::addHit(std::uint64_t search, const SearchHit& hit)
{
    if (search != m_worker->current())
        return;
    QString line = QString::fromStdU16String(hit.line);
    int start = static_cast<int>(hit.matchStart);
    if (start > kLead * 2) {
        line = QStringLiteral("…") + line.mid(start - kLead);
        start = kLead + 1;
    }
    if (line.size() > kShownUnits)
        line.truncate(kShownUnits);
    auto* item = new QListWidgetItem(dateText(hit.date));
    item->setData(SearchHitDelegate::LineRole, line);
    item->setData(SearchHitDelegate::MatchStartRole, start);
    item->setData(SearchHitDelegate::MatchLengthRole, static_cast<int>(hit.matchLength));
    item->setData(SearchHitDelegate::DateRole, QDate(hit.date.year, hit.date.month, hit.date.day));
    item->setToolTip(QString::fromStdU16String(hit.line).left(1000));
    // The line is drawn by the delegate: a screen reader reads the row's date and line.
    item->setData(Qt::AccessibleTextRole, item->text() + QStringLiteral(" ") + line);
    m_results->addItem(item);
    if (m_results->count() == 1)
        m_results->setCurrentRow(0);
}

void SearchWindow::finish(std::uint64_t search, const SearchSummary& summary)
{
    if (search != m_worker->current())
        return;
    m_searching = false;
    if (!summary.folderRead)
        m_status->setText(tr("일기 폴더를 읽을 수 없습니다."));
    else if (summary.matchedDays == 0)
        m_status->setText(tr("찾는 단어가 든 일기가 없습니다."));
    else
        m_status->setText(tr("%n일", nullptr, summary.matchedDays));
    emit searchFinished();
}

void SearchWindow::activate(QListWidgetItem* item)
{
    if (!item)
        return;
    const QDate d = item->data(SearchHitDelegate::DateRole).toDate();
    jumpTo({d.year(), d.month(), d.day()});
}

bool SearchWindow::jumpTo(const LocalDate& date)
{
    return m_jump && m_jump(date);
}

SearchWindow* openSearchWindow(QWidget* parent, const std::u16string& dataFolder, SearchWindow::Jump jump,
                               SearchWindow::OpenStore openStore)
{
    auto* window = parent ? parent->findChild<SearchWindow*>(QStringLiteral("searchWindow"), Qt::FindDirectChildrenOnly)
                          : nullptr;
    if (!window) {
        window = new SearchWindow(parent, dataFolder, std::move(jump));
        window->setAttribute(Qt::WA_DeleteOnClose);
        // Beside the diary where the screen has room, so the page it jumps to stays in view.
        if (parent && parent->screen()) {
            const QRect screen = parent->screen()->availableGeometry();
            const QRect frame = parent->frameGeometry();
            QPoint at(frame.right() + 8, frame.top());
            if (at.x() + window->width() > screen.right())
                at.setX(std::max(screen.left(), frame.left() - window->width() - 8));
            // Room for the title bar the window manager adds.
            at.setY(std::max(screen.top(), std::min(at.y(), screen.bottom() - window->height() - 40)));
            window->move(at);
        }
        window->openStore = std::move(openStore);
    } else {
        window->openStore = std::move(openStore);
        window->setDataFolder(dataFolder);
    }
    window->show();
    window->raise();
    window->activateWindow();
    window->wordBox().setFocus();
    window->wordBox().selectAll();
    return window;
}

} // namespace pagelet
