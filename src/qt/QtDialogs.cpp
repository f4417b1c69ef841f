#include "qt/QtDialogs.h"

#include "qt/QtGraphics.h"
#include "settings/PasswordDialog.h"
#include "ui/SettingsDialog.h"

#include <QInputDialog>
#include <QLineEdit>

namespace pagelet {

// Plain dialogs until the real ones land.
bool QtDialogs::runPassword(PasswordDialog& dialog)
{
    bool ok = false;
    const QString text = QInputDialog::getText(nullptr, QString::fromUtf8("비밀번호 입력"), QString(), QLineEdit::Password,
                                               QString(), &ok);
    return ok && fromQString(text) == dialog.storedPassword;
}

bool QtDialogs::runSettings(SettingsDialog& dialog)
{
    bool ok = false;
    const QString path = QInputDialog::getText(nullptr, QString::fromUtf8("환경 설정"), QString::fromUtf8("데이터"),
                                               QLineEdit::Normal, toQString(dialog.dataPath), &ok);
    if (ok)
        dialog.dataPath = fromQString(path);
    return ok;
}

} // namespace pagelet
