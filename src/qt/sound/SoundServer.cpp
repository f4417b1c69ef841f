#include "qt/sound/SoundServer.h"

#include <QMediaDevices>
#include <chrono>
#include <pulse/pulseaudio.h>
#include <string>
#include <thread>

namespace pagelet {

namespace {

struct Defaults {
    std::string source, sink;
    bool done = false;
};

// A private connection of a moment, so nothing waits on Qt's own; empty names when there is no
// server or it doesn't answer within a second.
Defaults askServer()
{
    Defaults defaults;
    pa_mainloop* loop = pa_mainloop_new();
    if (!loop)
        return defaults;
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "Pagelet");
    if (context && pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        pa_operation* asking = nullptr;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (!defaults.done && std::chrono::steady_clock::now() < until) {
            const pa_context_state_t state = pa_context_get_state(context);
            if (!PA_CONTEXT_IS_GOOD(state))
                break;
            if (state == PA_CONTEXT_READY && !asking) {
                asking = pa_context_get_server_info(
                    context,
                    [](pa_context*, const pa_server_info* info, void* to) {
                        auto& d = *static_cast<Defaults*>(to);
                        if (info) {
                            d.source = info->default_source_name ? info->default_source_name : "";
                            d.sink = info->default_sink_name ? info->default_sink_name : "";
                        }
                        d.done = true;
                    },
                    &defaults);
                if (!asking)
                    break;
            }
            if (pa_mainloop_iterate(loop, 0, nullptr) <= 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        if (asking) {
            if (pa_operation_get_state(asking) == PA_OPERATION_RUNNING)
                pa_operation_cancel(asking);
            pa_operation_unref(asking);
        }
        pa_context_disconnect(context);
    }
    if (context)
        pa_context_unref(context);
    pa_mainloop_free(loop);
    return defaults;
}

// Qt's device ids are the server's names.
QAudioDevice named(const QList<QAudioDevice>& devices, const std::string& name, const QAudioDevice& otherwise)
{
    for (const QAudioDevice& d : devices)
        if (!name.empty() && d.id() == QByteArray::fromStdString(name))
            return d;
    return otherwise;
}

} // namespace

QAudioDevice SoundServer::defaultInput()
{
    return named(QMediaDevices::audioInputs(), askServer().source, QMediaDevices::defaultAudioInput());
}

QAudioDevice SoundServer::defaultOutput()
{
    return named(QMediaDevices::audioOutputs(), askServer().sink, QMediaDevices::defaultAudioOutput());
}

} // namespace pagelet
