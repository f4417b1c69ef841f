#pragma once
#include "platform/VoiceRecorder.h"
#include "qt/recorder/RecorderWindow.h"

#include <QPointer>
#include <functional>

namespace pagelet {

class Zoom;

class MessageBoxPort;
class PageStore;

// Creates a RecorderWindow for each record, over the record's parent window; its closing codes
// go to notify, the parent's notification handler. The record's file names a day's memo of the
// store, through which it is recorded and played; any other file is no recorder's.
class QtVoiceRecorder : public VoiceRecorderPort {
public:
    // Windows open at zoom, which must outlive this; store gives the store in use when one opens.
    QtVoiceRecorder(MessageBoxPort& messages, std::function<void(int)> notify, const Zoom& zoom,
                    std::function<PageStore&()> store);
    std::intptr_t create(const VoiceRecorderRecord& record) override;
    // The window last created while it is open, for tests.
    RecorderWindow* window() const { return m_window; }

private:
    MessageBoxPort& m_messages;
    std::function<void(int)> m_notify;
    const Zoom& m_zoom;
    std::function<PageStore&()> m_store;
    QPointer<RecorderWindow> m_window;
};

} // namespace pagelet
