#pragma once
#include "platform/VoiceRecorder.h"
#include "qt/recorder/RecorderWindow.h"

#include <QPointer>
#include <functional>

namespace pagelet {

class Zoom;

class MessageBoxPort;

// Creates a RecorderWindow for each record, over the record's parent window; its closing codes
// go to notify, the parent's notification handler.
class QtVoiceRecorder : public VoiceRecorderPort {
public:
    // Windows open at zoom, which must outlive this.
    QtVoiceRecorder(MessageBoxPort& messages, std::function<void(int)> notify, const Zoom& zoom);
    std::intptr_t create(const VoiceRecorderRecord& record) override;
    // The window last created while it is open, for tests.
    RecorderWindow* window() const { return m_window; }

private:
    MessageBoxPort& m_messages;
    std::function<void(int)> m_notify;
    const Zoom& m_zoom;
    QPointer<RecorderWindow> m_window;
};

} // namespace pagelet
