#pragma once
#include <functional>
#include <string>

namespace pagelet {

class DialogHandler;

// Runs modal dialogs. The handler holds a dialog's logic; the platform builds the controls
// from the template with that id, shows them and forwards the user's actions. True when the
// dialog ended with OK; a template the platform doesn't have runs nothing and gives false.
class DialogPort {
public:
    virtual ~DialogPort() = default;
    virtual bool run(int templateId, DialogHandler& handler) = 0;

    // Told how many of how many steps are done.
    using Progress = std::function<void(int done, int total)>;
    // Runs work off the interface thread behind a modal progress bar titled title, and returns
    // when it is done. Here, without a platform of its own, it simply runs.
    virtual void runWithProgress(const std::u16string& title, const std::function<void(const Progress&)>& work)
    {
        (void)title;
        work([](int, int) {});
    }
};

} // namespace pagelet
