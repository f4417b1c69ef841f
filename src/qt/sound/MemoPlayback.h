#pragma once
#include "base/ByteIo.h"

#include <functional>

namespace pagelet {

// Plays a memo, from its bytes as the store gives them, to the default output.
class MemoPlayback {
public:
    enum class Result { Ok, NoDevice, Unplayable };

    virtual ~MemoPlayback() = default;
    virtual Result start(const Bytes& memo) = 0;
    virtual void stop() = 0;
    virtual bool active() const = 0;
    virtual double seconds() const = 0; // played so far, or at the last stop
    virtual double total() const = 0;

    // Played to the end, or cut off when the device failed.
    std::function<void(bool deviceFailed)> finished;
};

} // namespace pagelet
