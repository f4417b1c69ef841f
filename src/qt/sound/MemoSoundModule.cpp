// The sound module's entry: Qt's sound and the sound file library, behind MemoSoundEngine.
#include "qt/sound/MemoSoundEngine.h"
#include "qt/sound/MemoPlayer.h"
#include "qt/sound/MemoRecorder.h"
#include "qt/sound/MemoSound.h"

namespace pagelet {
namespace {

class QtMemoSound : public MemoSoundEngine {
public:
    std::unique_ptr<MemoPlayback> player() override { return std::make_unique<MemoPlayer>(); }
    std::unique_ptr<MemoRecording> recorder(PageStore& store, const LocalDate& date) override
    {
        return std::make_unique<MemoRecorder>(store, date);
    }
    std::optional<double> seconds(const Bytes& memo) override { return MemoSound::seconds(memo); }
};

} // namespace
} // namespace pagelet

extern "C" __attribute__((visibility("default"))) pagelet::MemoSoundEngine* pagelet_memo_sound()
{
    static pagelet::QtMemoSound engine;
    return &engine;
}
