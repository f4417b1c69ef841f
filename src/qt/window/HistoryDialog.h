#pragma once
#include "state/PageHistory.h"

#include <QDialog>
#include <optional>

class QListWidget;
class QPlainTextEdit;

namespace pagelet {

// The shown day's older versions, newest first, with a preview; "되돌리기" hands the chosen one
// back. The dialog only shows: what becomes of the version is the caller's.
class HistoryDialog : public QDialog {
    Q_OBJECT
public:
    // unsaved: the page being written has text never stored, which a restore keeps first.
    // store reads the versions as its own files: an encrypted diary keeps them sealed.
    HistoryDialog(QWidget* parent, const PageHistory& history, const PageStore& store, const LocalDate& date,
                  bool unsaved = false);

    // The version chosen with "되돌리기", once the dialog is accepted.
    const std::optional<Page>& chosen() const { return m_chosen; }

private:
    std::optional<Page> pageAt(int row) const;

    const PageHistory& m_history;
    const PageStore& m_store;
    LocalDate m_date;
    std::vector<HistoryVersion> m_versions;
    QListWidget* m_list;
    QPlainTextEdit* m_preview;
    std::optional<Page> m_chosen;
};

// Opens the dialog for the shown day; the chosen version becomes the page being written.
class MainDialog;
void showHistoryDialog(QWidget* parent, MainDialog& dialog);

} // namespace pagelet
