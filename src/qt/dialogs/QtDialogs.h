#pragma once
#include "platform/Dialogs.h"

namespace pagelet {

class Zoom;

// Runs each dialog's logic in a Qt dialog built from its template, at the window's zoom.
class QtDialogs : public DialogPort {
public:
    explicit QtDialogs(const Zoom& zoom) : m_zoom(zoom) {}
    bool run(int templateId, DialogHandler& handler) override;
    void runWithProgress(const std::u16string& title, const std::function<void(const Progress&)>& work) override;

private:
    const Zoom& m_zoom;
};

} // namespace pagelet
