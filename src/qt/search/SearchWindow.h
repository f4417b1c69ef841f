#pragma once
#include "base/Day.h"
#include "diary/SearchWorker.h"
#include "qt/ports/QtCaseFolding.h"

#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace pagelet {

// "모든 일기에서 찾기": every page of the data folder searched off the interface thread while the
// user types, the matching days newest first. Activating a row asks for the jump to its day.
class SearchWindow : public QWidget {
    Q_OBJECT
public:
    // jump stores the page being left and shows the day; false when it could not.
    using Jump = std::function<bool(const LocalDate&)>;
    // A store of its own for the search's thread over the folder the window uses: an encrypted
    // diary's pages open only with its key. None: plain pages.
    using OpenStore = std::function<std::shared_ptr<const PageStore>()>;

    SearchWindow(QWidget* parent, std::u16string dataFolder, Jump jump);
    ~SearchWindow() override;

    void setDataFolder(std::u16string folder);
    QLineEdit& wordBox() { return *m_word; }
    QCheckBox& matchCaseBox() { return *m_matchCase; }
    QListWidget& results() { return *m_results; }
    bool searching() const { return m_searching; }
    // What activating a row does: the jump, false when the page left could not be stored.
    bool jumpTo(const LocalDate& date);
    OpenStore openStore;

    // "2026년 12월 7일 (월)".
    static QString dateText(const LocalDate& date);

signals:
    void searchFinished();

private:
    void restart();
    void addHit(std::uint64_t search, const SearchHit& hit);
    void finish(std::uint64_t search, const SearchSummary& summary);
    void activate(QListWidgetItem* item);

    std::u16string m_folder;
    Jump m_jump;
    QLineEdit* m_word = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QListWidget* m_results = nullptr;
    QLabel* m_status = nullptr;
    bool m_searching = false;
    QtCaseFolding m_folding;
    std::unique_ptr<SearchWorker> m_worker; // last: its thread reports to everything above
};

// Opens the parent's search window, or brings it forward with the folder given.
SearchWindow* openSearchWindow(QWidget* parent, const std::u16string& dataFolder, SearchWindow::Jump jump,
                               SearchWindow::OpenStore openStore = {});

} // namespace pagelet
