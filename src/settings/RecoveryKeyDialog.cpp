#include "settings/RecoveryKeyDialog.h"

#include <algorithm>
#include <utility>

namespace pagelet {

RecoveryKeyDialog::RecoveryKeyDialog(std::u16string key) : m_key(std::move(key))
{
}

RecoveryKeyDialog::~RecoveryKeyDialog()
{
    std::fill(m_key.begin(), m_key.end(), u'\0');
}

bool RecoveryKeyDialog::OnInitDialog(DialogView& view)
{
    view.setItemText(kKeyText, m_key);
    view.setChecked(kWrittenCheck, false);
    view.enableItem(kIdOk, false);
    return true;
}

void RecoveryKeyDialog::OnOK(DialogView& view)
{
    // The box decides, not the button's state: a view may call OK however it likes.
    if (view.isChecked(kWrittenCheck))
        view.endDialog(true);
}

void RecoveryKeyDialog::OnCommand(DialogView& view, int id)
{
    if (id == kWrittenCheck)
        view.enableItem(kIdOk, view.isChecked(kWrittenCheck));
}

} // namespace pagelet
