#pragma once
#include "platform/DialogView.h"

#include <string>

namespace pagelet {

// Shows a new diary's recovery key before anything is written; OK only once the user ticks
// that it is written down.
class RecoveryKeyDialog : public DialogHandler {
public:
    static constexpr int kTemplateId = 133;
    static constexpr int kKeyText = 1030;
    static constexpr int kWrittenCheck = 1031;

    explicit RecoveryKeyDialog(std::u16string key);
    ~RecoveryKeyDialog() override;

    bool OnInitDialog(DialogView& view) override;
    void OnOK(DialogView& view) override;
    void OnCommand(DialogView& view, int id) override;

private:
    std::u16string m_key;
};

} // namespace pagelet
