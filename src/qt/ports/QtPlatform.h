#pragma once
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/ProcessExit.h"
#include "platform/Registry.h"
#include "platform/SoftInputPanel.h"

#include <QSettings>
#include <memory>

class QWidget;

namespace pagelet {

class Zoom;

// Registry values in QSettings, user scope: $XDG_CONFIG_HOME/Tarnwick/Pagelet.conf.
class QtRegistry : public RegistryPort {
public:
    bool open(const std::u16string& keyPath) override;
    std::optional<std::u16string> read(const std::u16string& name) override;
    bool write(const std::u16string& name, const std::u16string& value) override;
    void close() override;

    // While one is kept, every registry opened on the main thread shares its settings, read
    // again only when the file has changed: a start opens the registry four times, and making
    // the settings anew costs more than reading them.
    class Kept {
    public:
        Kept();
        ~Kept();
        Kept(const Kept&) = delete;
        Kept& operator=(const Kept&) = delete;

    private:
        std::shared_ptr<QSettings> m_settings;
    };

private:
    std::shared_ptr<QSettings> m_settings;
};

// Boxes as large as the window, at its zoom.
class QtMessageBox : public MessageBoxPort {
public:
    explicit QtMessageBox(const Zoom& zoom) : m_zoom(zoom) {}
    MessageAnswer show(const std::u16string& text, const std::u16string& caption, MessageButtons buttons,
                       MessageIcon icon) override;

private:
    const Zoom& m_zoom;
};

class QtProcessExit : public ProcessExit {
public:
    void exit(int status) override;
};

class QtClock : public Clock {
public:
    DayValue now() override;
};

// Asks the platform's input method to show or hide its on-screen keyboard.
class QtSoftInputPanel : public SoftInputPanel {
public:
    void raise() override;
    void lower() override;
};

} // namespace pagelet
