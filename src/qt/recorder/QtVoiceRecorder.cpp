#include "qt/recorder/QtVoiceRecorder.h"

#include "platform/MainWindow.h"
#include "qt/recorder/RecorderWindow.h"
#include "qt/graphics/Zoom.h"
#include "store/PlainPageStore.h"

namespace pagelet {

QtVoiceRecorder::QtVoiceRecorder(MessageBoxPort& messages, std::function<void(int)> notify, const Zoom& zoom,
                                 std::function<PageStore&()> store)
    : m_messages(messages), m_notify(std::move(notify)), m_zoom(zoom), m_store(std::move(store))
{
}

std::intptr_t QtVoiceRecorder::create(const VoiceRecorderRecord& record)
{
    if (record.size != kRecorderRecordSize || record.fileName.empty())
        return 0;
    PageStore& store = m_store();
    const auto date = memoDateOf(store, record.fileName);
    if (!date)
        return 0;
    // The parent is the main window; its client coordinates (at 100 %) place the recorder.
    auto* parent = dynamic_cast<QWidget*>(record.parent);
    const QPoint at(m_zoom.scaled(record.x), m_zoom.scaled(record.y));
    auto* window = new RecorderWindow(parent, store, *date, m_messages, m_notify, m_zoom);
    m_window = window;
    window->showAt(parent ? parent->mapToGlobal(at) : at);
    return reinterpret_cast<std::intptr_t>(window);
}

} // namespace pagelet
