#pragma once
// A dialog's controls as plain state, for driving dialog logic without a display.
#include "platform/DialogView.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pagelet::fakes {

class FakeDialogView : public DialogView {
public:
    std::u16string itemText(int id) override { return texts[id]; }
    void setItemText(int id, const std::u16string& text) override { texts[id] = text; }
    void limitText(int id, int maxChars) override { limits[id] = maxChars; }

    bool isChecked(int id) override { return checks[id]; }
    void setChecked(int id, bool checked) override { checks[id] = checked; }

    void insertString(int id, int index, const std::u16string& text) override
    {
        auto& list = lists[id];
        if (index < 0 || index > static_cast<int>(list.size()))
            list.push_back(text);
        else
            list.insert(list.begin() + index, text);
    }
    int listCount(int id) override { return static_cast<int>(lists[id].size()); }
    std::u16string listText(int id, int index) override
    {
        const auto& list = lists[id];
        return index >= 0 && index < static_cast<int>(list.size()) ? list[index] : std::u16string();
    }
    int currentSelection(int id) override { return selections.count(id) ? selections[id] : -1; }
    void setCurrentSelection(int id, int index) override
    {
        selections[id] = index >= 0 && index < listCount(id) ? index : -1;
    }

    void selectText(int id, int start, int end) override { selected[id] = {start, end}; }
    MonthCalendar* calendar(int id) override { return calendars.count(id) ? calendars[id] : nullptr; }

    void enableItem(int id, bool enabled) override { this->enabled[id] = enabled; }
    void focusItem(int id) override { focused.push_back(id); }
    void endDialog(bool ok) override { ended = ok; }

    std::map<int, std::u16string> texts;
    std::map<int, int> limits;
    std::map<int, bool> checks;
    std::map<int, std::vector<std::u16string>> lists;
    std::map<int, int> selections;
    std::map<int, bool> enabled;
    std::vector<int> focused;
    std::map<int, std::pair<int, int>> selected;
    std::map<int, MonthCalendar*> calendars;
    std::optional<bool> ended;
};

} // namespace pagelet::fakes
