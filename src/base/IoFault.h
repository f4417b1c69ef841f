#pragma once

namespace pagelet {

// The steps of a file write, as the fault hook names them.
enum class IoStep { Open, Write, Sync, Rename, FolderSync, Remove };

// Test hook: makes a step of the file writes fail with a chosen errno, once or until
// disarmed. Nothing arms it in the program, where each step costs one look at a table.
class IoFault {
public:
    enum class Repeat { Once, Always };

    static void arm(IoStep step, int error, Repeat repeat);
    static void disarmAll();
    // False, with errno set, when the step is to fail now.
    static bool pass(IoStep step);
};

} // namespace pagelet
