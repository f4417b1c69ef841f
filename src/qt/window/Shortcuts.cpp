#include "qt/window/Shortcuts.h"

#include "platform/Commands.h"

#include <QCoreApplication>

namespace pagelet {

namespace {
// The context the names are translated in.
struct Shortcuts {
    Q_DECLARE_TR_FUNCTIONS(Shortcuts)
};

QKeySequence keys(QKeyCombination k)
{
    return QKeySequence(k);
}
} // namespace

const std::vector<Shortcut>& shortcuts()
{
    using S = Shortcut;
    static const std::vector<Shortcut> table {
        {S::Command, CMD_PREV_DAY, Shortcuts::tr("이전 날"), {keys(Qt::CTRL | Qt::Key_PageUp)}},
        {S::Command, CMD_NEXT_DAY, Shortcuts::tr("다음 날"), {keys(Qt::CTRL | Qt::Key_PageDown)}},
        {S::Command, CMD_TODAY, Shortcuts::tr("오늘"), {keys(Qt::ALT | Qt::Key_Home)}},
        {S::Command, CMD_CALENDAR, Shortcuts::tr("달력"), {keys(Qt::CTRL | Qt::Key_D)}},
        {S::Command, CMD_EDIT, Shortcuts::tr("편집"), {keys(Qt::CTRL | Qt::Key_E)}},
        {S::Command, CMD_SAVE, Shortcuts::tr("저장"), {keys(Qt::CTRL | Qt::Key_S)}},
        {S::Command, CMD_WEATHER, Shortcuts::tr("날씨"), {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_W)}},
        {S::Command, CMD_TIMESTAMP, Shortcuts::tr("시간 넣기"), {keys(Qt::CTRL | Qt::Key_T)}},
        {S::Command, CMD_FIND, Shortcuts::tr("찾기"), {keys(Qt::CTRL | Qt::Key_F)}},
        {S::Command, CMD_VOICE, Shortcuts::tr("음성 메모"), {keys(Qt::CTRL | Qt::Key_M)}},
        {S::Command, CMD_DELETE, Shortcuts::tr("이 날 지우기"), {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete)}},
        {S::Command, CMD_SETTINGS, Shortcuts::tr("설정"), {keys(Qt::CTRL | Qt::Key_Comma)}},
        // "+" needs Shift on most keyboards: Ctrl with the key itself works too.
        {S::ZoomIn, 0, Shortcuts::tr("크게"), {keys(Qt::CTRL | Qt::Key_Equal), keys(Qt::CTRL | Qt::Key_Plus)}},
        {S::ZoomOut, 0, Shortcuts::tr("작게"), {keys(Qt::CTRL | Qt::Key_Minus)}},
        {S::ZoomReset, 0, Shortcuts::tr("원래 크기"), {keys(Qt::CTRL | Qt::Key_0)}},
        {S::Close, 0, Shortcuts::tr("닫기"), {keys(Qt::CTRL | Qt::Key_Q), keys(Qt::CTRL | Qt::Key_W)}},
        // Taken before the page sees them, whose own menu would otherwise open.
        {S::Menu, 0, QString(), {keys(Qt::Key_Menu), keys(Qt::SHIFT | Qt::Key_F10)}},
    };
    return table;
}

const Shortcut* shortcutFor(int command)
{
    for (const Shortcut& s : shortcuts())
        if (s.kind == Shortcut::Command && s.command == command)
            return &s;
    return nullptr;
}

QString tooltipFor(int command)
{
    const Shortcut* s = shortcutFor(command);
    if (!s)
        return {};
    return QStringLiteral("%1 (%2)").arg(s->name, s->keys.front().toString(QKeySequence::NativeText));
}

} // namespace pagelet
