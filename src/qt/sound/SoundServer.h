#pragma once
#include <QAudioDevice>

namespace pagelet {

// The devices the sound server names as its defaults, as the desktop's sound settings chose
// them. Qt 6.4 flags no input as the default and doesn't follow a change of default while it
// runs, so the server is asked each time a recording or a playing starts.
class SoundServer {
public:
    static QAudioDevice defaultInput();
    static QAudioDevice defaultOutput();
};

} // namespace pagelet
