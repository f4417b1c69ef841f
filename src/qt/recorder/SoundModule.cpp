#include "qt/recorder/SoundModule.h"

#include "base/LateLibrary.h"
#include "qt/sound/MemoSoundEngine.h"

#include <QLibrary>
#include <cstdio>

namespace pagelet {

namespace {

class NoPlayback : public MemoPlayback {
public:
    Result start(const Bytes&) override { return Result::NoDevice; }
    void stop() override {}
    bool active() const override { return false; }
    double seconds() const override { return 0; }
    double total() const override { return 0; }
};

class NoRecording : public MemoRecording {
public:
    Result start() override { return Result::NoDevice; }
    Result stop() override { return Result::Ok; }
    bool active() const override { return false; }
    double seconds() const override { return 0; }
    int level() const override { return 0; }
};

class NoSound : public MemoSoundEngine {
public:
    std::unique_ptr<MemoPlayback> player() override { return std::make_unique<NoPlayback>(); }
    std::unique_ptr<MemoRecording> recorder(PageStore&, const LocalDate&) override { return std::make_unique<NoRecording>(); }
    std::optional<double> seconds(const Bytes&) override { return std::nullopt; }
};

MemoSoundEngine* load()
{
    // Where the build and the install both put it, seen from the program's own folder.
    QLibrary module(QString::fromStdString(moduleFile("libpagelet-sound.so")));
    if (module.load()) {
        if (const auto entry = reinterpret_cast<MemoSoundEntry>(module.resolve(kMemoSoundEntry)))
            return entry();
    }
    std::fprintf(stderr, "pagelet: memos cannot be played or recorded: %s\n", qPrintable(module.errorString()));
    static NoSound none;
    return &none;
}

} // namespace

MemoSoundEngine& memoSound()
{
    static MemoSoundEngine* const engine = load();
    return *engine;
}

} // namespace pagelet
