#include "diary/MemoRecorder.h"

#include "diary/DayMemo.h"
#include "diary/ShownDay.h"
#include "platform/Commands.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"
#include "platform/VoiceRecorder.h"
#include "skin/Skin.h"
#include "store/PageStore.h"
#include "text/Catalogue.h"
#include "ui/DiaryEdit.h"

namespace pagelet {

MemoRecorder::MemoRecorder(MainWindowPort& window, MessageBoxPort& messages, VoiceRecorderPort& recorder, DiaryEdit& editor,
                           Skin& skin, PageStore& pages, const ShownDay& day, DayMemo& memo)
    : m_window(window), m_messages(messages), m_recorder(recorder), m_editor(editor), m_skin(skin), m_pages(pages), m_day(day),
      m_memo(memo)
{
}

std::u16string MemoRecorder::memoPath(DayValue day) const
{
    return m_pages.memoPath(localDate(day));
}

bool MemoRecorder::hasMemo() const
{
    return m_pages.hasMemo(localDate(m_day.selectedDay()));
}

void MemoRecorder::offerCopies()
{
    if (m_memo.offerCopies())
        repaintButton();
}

void MemoRecorder::startMemo(const Rect& buttonRect)
{
    m_editor.showCaret(false);
    VoiceRecorderRecord record;
    record.size = kRecorderRecordSize;
    record.style = kRecorderModalNoGrip;
    record.x = buttonRect.right + 1;
    record.y = buttonRect.top;
    record.parent = &m_window;
    record.id = kRecorderControlId;
    record.fileName = memoPath(m_day.selectedDay());
    m_memo.recorderOpened();
    m_recorderWindow = m_recorder.create(record);
}

void MemoRecorder::OnNotify(int code)
{
    if (code != kRecorderClosedOk && code != kRecorderClosedCancel)
        return;
    const LocalDate date = localDate(m_day.selectedDay());
    // What another machine did to the memo while the recorder was open is kept before anything
    // here erases it.
    m_memo.recorderClosed();
    // No by default: Return after Cancel must not erase a recording.
    if (code == kRecorderClosedCancel && m_pages.hasMemo(date) &&
        m_messages.show(textOf(TextId::DeleteMemoQuestion), kAppTitle, MessageButtons::YesNoDefaultNo, MessageIcon::Question) ==
            MessageAnswer::Yes &&
        !m_pages.removeMemo(date)) {
        // The frame would still show it, but the user just said to erase it: say why not.
        m_messages.show(dataFolderProblem(TextId::PageNotDeleted), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
    }
    m_memo.offerCopies();
    m_editor.showCaret(m_editor.editable);
    // A memo recorded or erased: the frame around the button follows at once.
    repaintButton();
}

void MemoRecorder::repaintButton()
{
    if (const SkinElement* memo = m_skin.findElement(CMD_VOICE))
        m_window.invalidate(memo->rect.inflated(1));
}

} // namespace pagelet
