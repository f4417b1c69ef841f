#pragma once
#include "platform/DialogView.h"
#include "qt/dialogs/DialogTemplate.h"

#include <QDialog>
#include <map>

namespace pagelet {

class Zoom;

// A modal dialog built from a template. It only shows the controls and forwards the clicks to
// the dialog's logic, which drives it back through DialogView.
class QtDialog : public QDialog, public DialogView {
    Q_OBJECT
public:
    // The dialog shows at zoom, which must outlive it.
    QtDialog(const DialogTemplate& layout, DialogHandler& handler, const Zoom& zoom, QWidget* parent = nullptr);
    ~QtDialog() override;

    // Initialises the logic, then runs the dialog; true when it ended with OK.
    bool run();

    // The control with that id, or null.
    QWidget* control(int id) const;

    std::u16string itemText(int id) override;
    void setItemText(int id, const std::u16string& text) override;
    void limitText(int id, int maxChars) override;
    bool isChecked(int id) override;
    void setChecked(int id, bool checked) override;
    void insertString(int id, int index, const std::u16string& text) override;
    int listCount(int id) override;
    std::u16string listText(int id, int index) override;
    int currentSelection(int id) override;
    void setCurrentSelection(int id, int index) override;
    void selectText(int id, int start, int end) override;
    MonthCalendar* calendar(int id) override;
    void enableItem(int id, bool enabled) override;
    void focusItem(int id) override;
    void endDialog(bool ok) override;

public slots:
    void reject() override; // Escape and the close button cancel through the logic

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makeControl(const ControlTemplate& c);
    QWidget* makeEdit(const ControlTemplate& c);
    QWidget* makeCalendar(const ControlTemplate& c, const QRect& rect);

    DialogHandler& m_handler;
    const Zoom& m_zoom;
    std::map<int, QWidget*> m_controls;
    std::map<QObject*, int> m_edits; // watched for the focus
    std::map<int, std::u16string> m_readOnlyTexts; // as set, line breaks as given
    QWidget* m_firstFocus = nullptr;
    bool m_settingCheck = false; // a check box set by the logic tells it nothing
};

} // namespace pagelet
