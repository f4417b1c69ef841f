#pragma once
#include <functional>

namespace pagelet {

// Records the default input into one memo, which is replaced when the recording stops, never
// before.
class MemoRecording {
public:
    enum class Result { Ok, NoDevice, CannotWrite };

    virtual ~MemoRecording() = default;
    virtual Result start() = 0;
    // Ends the recording and puts it in the memo's place.
    virtual Result stop() = 0;
    virtual bool active() const = 0;
    virtual double seconds() const = 0;
    virtual int level() const = 0; // 0 to 100, the loudest of the latest sound

    // The device went away or the file could not take more; what was recorded is kept.
    std::function<void(Result why)> failed;
};

} // namespace pagelet
