#pragma once
#include <cstdint>
#include <string>

namespace pagelet {

class MainWindowPort;

// What the recorder is created with. On the wire it is 28 bytes; every field not set here
// stays zero.
struct VoiceRecorderRecord {
    std::uint32_t size = 0;
    std::uint32_t style = 0;
    std::int32_t x = 0; // in the parent's client coordinates
    std::int32_t y = 0;
    MainWindowPort* parent = nullptr;
    std::uint32_t id = 0;
    std::u16string fileName; // records into and plays from this file
};

inline constexpr std::uint32_t kRecorderRecordSize = 28;
inline constexpr std::uint32_t kRecorderModalNoGrip = 0x44;
inline constexpr std::uint32_t kRecorderControlId = 102;

// The codes the recorder sends its parent when the user closes it.
inline constexpr int kRecorderClosedOk = -866;
inline constexpr int kRecorderClosedCancel = -865;

// The voice recorder: shown over its parent, it records into and plays the record's file and
// tells the parent's notification handler how it was closed. The program never closes it.
class VoiceRecorderPort {
public:
    virtual ~VoiceRecorderPort() = default;
    // The recorder's window handle; 0 when it could not be created.
    virtual std::intptr_t create(const VoiceRecorderRecord& record) = 0;
};

} // namespace pagelet
