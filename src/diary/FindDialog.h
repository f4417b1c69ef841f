#pragma once
#include "base/Day.h"
#include "base/UnitScan.h"
#include "diary/FindEdit.h"
#include "platform/Commands.h"
#include "platform/DialogView.h"
#include "store/PageFormat.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pagelet {

class CaseFolding;
class MessageBoxPort;
class MonthCalendar;
class PageStore;
class SoftKeyboard;

// Sent to the find dialog when the pen is held on its result box: taken as OK.
inline constexpr int WM_FIND_ACCEPT = WM_USER + 201;

// The month search. It reads the stored pages of the month its own calendar shows, never the
// main window's editor. The caller runs it and on OK shows foundDay.
class FindDialog : public DialogHandler {
public:
    static constexpr int kTemplateId = 132;
    static constexpr int kWordEdit = 1022;
    static constexpr int kMatchCaseCheck = 1023;
    static constexpr int kFindButton = 1024;
    static constexpr int kFindNextButton = 1027;
    static constexpr int kOkButton = 1028;
    static constexpr int kCalendar = 1012;
    static constexpr int kResultEdit = 1015;

    FindDialog(const PageStore& pages, MessageBoxPort& messages, const CaseFolding& folding, SoftKeyboard& keyboard);

    void DoDataExchange(DialogView& view, bool save);
    bool OnInitDialog(DialogView& view) override;
    // The caption's own OK closes without a jump; the OK button in the dialog is OnCommand's.
    void OnOK(DialogView& view) override;
    void OnCommand(DialogView& view, int id) override;
    void OnEditChange(DialogView& view, int id) override;
    void OnEditFocus(DialogView& view, int id, bool gained) override;
    void OnHold(DialogView& view, int id) override;
    void OnDayPicked(DialogView& view, int id, const LocalDate& day) override;
    void OnCalendarSelChange(DialogView& view, int id, const LocalDate& day) override;
    // A message sent to the dialog itself: WM_FIND_ACCEPT.
    void onMessage(DialogView& view, int message);

    void OnFind(DialogView& view);
    void OnFindNext(DialogView& view);
    // Marks the shown month's days whose pages hold the word; foundDay becomes the first of
    // them, or the month's last day when there is none.
    bool scanMonth(DialogView& view);
    // Reads foundDay's page into pageText and finds the word's first occurrence in it.
    bool searchDay(DialogView& view);
    void selectMatch(DialogView& view, int start, int end);

    std::int32_t matchCase = 0;
    std::u16string searchWord;
    std::u16string pageText;
    DayValue foundDay = 0;
    DayValue shownMonthDay = 0;
    int matchStart = 0; // -1 when the word is not in pageText
    int matchEnd = 0;   // where Find next starts
    FindEdit wordBox {true};
    FindEdit resultBox {false};

private:
    void searchAndShow(DialogView& view);
    void showMessage(const std::u16string& text);
    void accept(DialogView& view);
    UnitFinder finder();
    int findIn(const std::u16string& text, int from);
    bool readStored(DayValue day);
    FindEdit* editOf(int id);

    const PageStore& m_pages;
    MessageBoxPort& m_messages;
    const CaseFolding& m_folding;
    SoftKeyboard& m_keyboard;
    Page m_stored; // the buffer every page of a month is read into
};

} // namespace pagelet
