#include "qt/dialogs/DialogTemplate.h"

#include "diary/FindDialog.h"
#include "platform/DialogView.h"
#include "qt/graphics/Zoom.h"
#include "settings/NewPasswordDialog.h"
#include "settings/PasswordDialog.h"
#include "settings/RecoveryKeyDialog.h"
#include "ui/SettingsDialog.h"

#include <QCoreApplication>

namespace pagelet {

QRect dialogUnitsToPixels(const Zoom& zoom, int x, int y, int width, int height)
{
    // Dialogs grow with the window's zoom.
    const int percent = zoom.percent();
    const auto px = [percent](int units) { return units * 240 * percent / (137 * 100); };
    const auto py = [percent](int units) { return units * 270 * percent / (153 * 100); };
    // Map both edges so neighbouring controls keep their gaps.
    const int left = px(x), top = py(y);
    return QRect(left, top, px(x + width) - left, py(y + height) - top);
}

namespace {

using F = FindDialog;
using N = NewPasswordDialog;
using P = PasswordDialog;
using R = RecoveryKeyDialog;
using S = SettingsDialog;

// Every dialog of the program; a new dialog is one more entry. Check boxes reach as far as the
// dialog lets them, so a longer translation is not cut.
const DialogTemplate kTemplates[] = {
    {P::kTemplateId, QT_TRANSLATE_NOOP("DialogTemplate", "비밀번호 입력"), 137, 153,
     {
         {P::kPasswordEdit, ControlKind::PasswordEdit, "", 28, 64, 80, 13},
         {P::kPromptLabel, ControlKind::Label,
          QT_TRANSLATE_NOOP("DialogTemplate", "패스워드를 입력하세요.\n3번 이상 틀리면\n프로그램이 종료됩니다."), 28, 35, 80, 25,
          P::kPasswordEdit},
         {kIdOk, ControlKind::DefaultButton, QT_TRANSLATE_NOOP("DialogTemplate", "확  인"), 32, 84, 36, 12},
         {kIdCancel, ControlKind::Button, QT_TRANSLATE_NOOP("DialogTemplate", "취  소"), 71, 84, 36, 12},
     }},
    {S::kTemplateId, QT_TRANSLATE_NOOP("DialogTemplate", "환경 설정"), 137, 153,
     {
         {kIdOk, ControlKind::DefaultButton, QT_TRANSLATE_NOOP("DialogTemplate", "확  인"), 62, 102, 36, 12},
         {kIdCancel, ControlKind::Button, QT_TRANSLATE_NOOP("DialogTemplate", "취  소"), 100, 102, 36, 12},
         {S::kUsePasswordCheck, ControlKind::CheckBox, QT_TRANSLATE_NOOP("DialogTemplate", "비밀번호 사용"), 18, 14, 62, 12},
         {S::kSetPasswordButton, ControlKind::Button, QT_TRANSLATE_NOOP("DialogTemplate", "설  정"), 81, 14, 36, 12},
         {S::kSkinList, ControlKind::DropDownList, "", 56, 41, 62, 86},
         {0, ControlKind::Label, QT_TRANSLATE_NOOP("DialogTemplate", "스킨 선택"), 18, 44, 34, 8, S::kSkinList},
         {S::kAutoKeyboardCheck, ControlKind::CheckBox, QT_TRANSLATE_NOOP("DialogTemplate", "키보드 자동 활성화"), 18, 29,
          115, 9},
         {0, ControlKind::Label, QT_TRANSLATE_NOOP("DialogTemplate", "시간 표시"), 18, 59, 34, 8, S::kTimeFormatList},
         {S::kTimeFormatList, ControlKind::DropDownList, "", 56, 56, 62, 86},
         {0, ControlKind::Icon, ":/pagelet/icon.png", 14, 119, 20, 21},
         {0, ControlKind::Picture, ":/pagelet/picture.png", 36, 119, 84, 33},
         {0, ControlKind::Label, QT_TRANSLATE_NOOP("DialogTemplate", "데이터"), 19, 74, 22, 9, S::kDataPathEdit},
         {S::kDataPathEdit, ControlKind::Edit, "", 42, 71, 76, 12},
         {0, ControlKind::Label, QT_TRANSLATE_NOOP("DialogTemplate", "백업 폴더"), 4, 89, 37, 9, S::kBackupPathEdit},
         {S::kBackupPathEdit, ControlKind::Edit, "", 42, 86, 76, 12},
         // Left of OK and Cancel, which moved right to make room; last before them in the tab order.
         {S::kEncryptButton, ControlKind::Button, QT_TRANSLATE_NOOP("DialogTemplate", "일기 암호화..."), 3, 102, 56, 12},
     }},
    {N::kTemplateId, QT_TRANSLATE_NOOP("DialogTemplate", "새 비밀번호 입력"), 137, 153,
     {
         {N::kPasswordEdit, ControlKind::PasswordEdit, "", 54, 44, 62, 13},
         {N::kConfirmEdit, ControlKind::PasswordEdit, "", 54, 62, 62, 13},
         {kIdOk, ControlKind::DefaultButton, QT_TRANSLATE_NOOP("DialogTemplate", "확  인"), 41, 81, 36, 12},
         {kIdCancel, ControlKind::Button, QT_TRANSLATE_NOOP("DialogTemplate", "취  소"), 80, 81, 36, 12},
         {0, ControlKind::Label, QT_TRANSLATE_NOOP("DialogTemplate", "새로운 패스워드를 입력하세요."), 21, 26, 98, 10},
         {0, ControlKind::Label, QT_TRANSLATE_NOOP("DialogTemplate", "패스워드"), 21, 47, 33, 9, N::kPasswordEdit},
         {0, ControlKind::Label, QT_TRANSLATE_NOOP("DialogTemplate", "확      인"), 21, 64, 30, 9, N::kConfirmEdit},
     }},
    // The key is selectable so it can be copied; OK waits for the box.
    {R::kTemplateId, QT_TRANSLATE_NOOP("DialogTemplate", "복구 키"), 137, 153,
     {
         {0, ControlKind::Label,
          QT_TRANSLATE_NOOP("DialogTemplate", "복구 키를 적어서 컴퓨터와\n따로 보관하세요. 비밀번호를\n잊으면 이 키로만 열 수 있고,\n"
                                              "다시 보여 주지 않습니다."),
          6, 6, 125, 36, R::kKeyText},
         {R::kKeyText, ControlKind::ReadOnlyText, "", 6, 45, 125, 34},
         {R::kWrittenCheck, ControlKind::CheckBox, QT_TRANSLATE_NOOP("DialogTemplate", "적어 두었습니다"), 6, 85, 125, 10},
         {kIdOk, ControlKind::DefaultButton, QT_TRANSLATE_NOOP("DialogTemplate", "확  인"), 41, 101, 36, 12},
         {kIdCancel, ControlKind::Button, QT_TRANSLATE_NOOP("DialogTemplate", "취  소"), 80, 101, 36, 12},
     }},
    // Its OK button is not button 1: the caption's OK closes it without the jump.
    {F::kTemplateId, QT_TRANSLATE_NOOP("DialogTemplate", "찾기"), 137, 153,
     {
         {0, ControlKind::Label, QT_TRANSLATE_NOOP("DialogTemplate", "찾는 단어"), 3, 3, 35, 9, F::kWordEdit},
         {F::kWordEdit, ControlKind::Edit, "", 3, 14, 59, 12},
         {F::kMatchCaseCheck, ControlKind::CheckBox, QT_TRANSLATE_NOOP("DialogTemplate", "대소문자 구별"), 3, 29, 57, 9},
         {F::kFindButton, ControlKind::Button, QT_TRANSLATE_NOOP("DialogTemplate", "찾   기"), 3, 41, 59, 12},
         {F::kOkButton, ControlKind::DefaultButton, QT_TRANSLATE_NOOP("DialogTemplate", "확  인"), 3, 56, 28, 12},
         {kIdCancel, ControlKind::Button, QT_TRANSLATE_NOOP("DialogTemplate", "취  소"), 34, 56, 28, 12},
         {F::kFindNextButton, ControlKind::Button, QT_TRANSLATE_NOOP("DialogTemplate", "다음 찾기"), 3, 71, 59, 11},
         {F::kCalendar, ControlKind::Calendar, "", 65, 4, 70, 78},
         {F::kResultEdit, ControlKind::ReadOnlyText, "", 3, 86, 132, 65},
     }},
};

} // namespace

QString dialogText(const char* text)
{
    return QCoreApplication::translate("DialogTemplate", text);
}

const DialogTemplate* dialogTemplate(int id)
{
    for (const auto& t : kTemplates)
        if (t.id == id)
            return &t;
    return nullptr;
}

} // namespace pagelet
