#pragma once

namespace pagelet {

// Ends the process at once. A test fake records the call and returns, so callers must
// stop what they are doing after calling it.
class ProcessExit {
public:
    virtual ~ProcessExit() = default;
    virtual void exit(int status) = 0;
};

} // namespace pagelet
