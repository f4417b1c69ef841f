// The real recorder on real sound: a private PulseAudio server with a null microphone and
// speaker, or none at all. The recorder runs in a child program, so it can be given a full disk
// or be killed mid-recording.
#include "base/FileIo.h"
#include "base/Text.h"
#include "crypto/SealedFile.h"

#include <atomic>
#include <chrono>
#include <set>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace pagelet;
using namespace std::chrono_literals;

namespace {

using Lines = std::vector<std::string>;

// A sound server of the test's own, or (server false) a place where none runs. The test itself
// never touches sound: its children find the server through the environment.
struct Sound {
    explicit Sound(bool server, const std::string& extraModule = "module-null-sink sink_name=other")
    {
        char name[] = "/tmp/pagelet-sound-XXXXXX";
        root = ::mkdtemp(name);
        memo = root / "20010607.wav";
        fs::create_directories(root / "run");
        fs::create_directories(root / "home");
        ::setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);
        ::setenv("HOME", (root / "home").c_str(), 1);
        // A sound client keeps its cookie under the config folder.
        for (const char* xdg : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"})
            ::setenv(xdg, (root / "home" / xdg).c_str(), 1);
        ::setenv("PULSE_SERVER", ("unix:" + (root / "run/pulse/native").string()).c_str(), 1);
        if (server && (pid = ::fork()) == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 1);
            ::dup2(null, 2);
            const std::string extra = "--load=" + extraModule;
            ::execlp("pulseaudio", "pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1",
                     "--load=module-null-sink sink_name=speaker", "--load=module-null-source source_name=mic",
                     extra.c_str(), "--load=module-native-protocol-unix", nullptr);
            ::_exit(127);
        }
        for (int i = 0; server && i < 100 && !fs::exists(root / "run/pulse/native"); ++i)
            std::this_thread::sleep_for(50ms);
    }
    ~Sound()
    {
        if (pid > 0 && ::kill(pid, SIGTERM) == 0)
            ::waitpid(pid, nullptr, 0);
        fs::remove_all(root);
    }
    bool running() const { return pid > 0 && fs::exists(root / "run/pulse/native"); }
    std::string killServer() const { return "kill:" + std::to_string(pid); }

    // Starts the recorder on the memo with the steps; read its lines from the stream.
    FILE* start(const Lines& steps) const
    {
        std::string command = "exec " + driver + (sealed ? " --sealed " : " ") + memo.string();
        for (const auto& s : steps)
            command += " " + s;
        return ::popen((command + " 2>/dev/null").c_str(), "r");
    }
    Lines run(const Lines& steps) const
    {
        FILE* out = start(steps);
        Lines lines;
        for (char line[512]; std::fgets(line, sizeof line, out);)
            lines.emplace_back(line, std::strcspn(line, "\n"));
        lines.push_back("exit " + std::to_string(WEXITSTATUS(::pclose(out))));
        return lines;
    }
    Bytes memoBytes() const { return readFile(fromUtf8(memo.string())).value_or(Bytes {}); }
    std::vector<fs::path> leftovers() const
    {
        std::vector<fs::path> found;
        for (const auto& e : fs::directory_iterator(root))
            if (isTemporaryName(fromUtf8(e.path().filename().string())))
                found.push_back(e.path());
        return found;
    }

    fs::path root;
    fs::path memo;
    pid_t pid = -1;
    std::string driver = PAGELET_SOUND_DRIVER;
    bool sealed = false; // the memo of an encrypted diary, with the driver's key
};

// Half a second of a tone in a WAV flavour, made by the sound library itself.
void writeTone(const fs::path& path, int subtype)
{
    SF_INFO info {0, 8000, 1, SF_FORMAT_WAV | subtype, 0, 0};
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    std::vector<short> tone(4000);
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<short>(8000 * std::sin(i * 0.2));
    sf_write_short(f, tone.data(), static_cast<sf_count_t>(tone.size()));
    sf_close(f);
}

std::vector<double> playedEach(const Lines& lines)
{
    std::vector<double> each;
    for (const auto& l : lines)
        if (l.rfind("played ", 0) == 0)
            each.push_back(std::stod(l.substr(7)));
    return each;
}

double played(const Lines& lines)
{
    const auto each = playedEach(lines);
    return each.empty() ? -1 : each.front();
}

// The driver's key of an encrypted diary.
DiaryKey driverKey()
{
    const std::vector<std::uint8_t> bytes(DiaryKey::kBytes, 0x42);
    return *DiaryKey::fromBytes(bytes.data());
}

// How long a WAV's bytes play, by the sound library, or -1 when they are none.
double secondsOf(const Bytes& wav, const fs::path& scratch)
{
    std::ofstream(scratch, std::ios::binary).write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
    SF_INFO info {};
    SNDFILE* f = sf_open(scratch.c_str(), SFM_READ, &info);
    fs::remove(scratch);
    if (!f)
        return -1;
    sf_close(f);
    return info.format == (SF_FORMAT_WAV | SF_FORMAT_PCM_16) && info.channels == 1 ? static_cast<double>(info.frames) / info.samplerate : -1;
}

bool has(const Lines& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

const std::string kNoInput = "message 녹음 장치를 찾을 수 없습니다.";
const std::string kNoOutput = "message 재생 장치를 찾을 수 없습니다.";
const std::string kUnplayable = "message 녹음 파일을 재생할 수 없습니다.";
const std::string kNotSaved = "message 녹음을 저장할 수 없습니다.|데이터 폴더를 확인하시기 바랍니다.";

} // namespace

TEST(Sound, ASecondRecordedReplacesTheOldMemoWhenItStopsAndPlaysToTheEnd)
{
    Sound sound(true);
    ASSERT_TRUE(sound.running());
    writeTone(sound.memo, SF_FORMAT_PCM_16);
    const Lines out = sound.run({"R", "wait:1000", "same", "S", "same", "P", "played", "Return"});
    EXPECT_EQ(Lines(out.begin(), out.begin() + 2), (Lines {"memo same", "memo changed"})) << testing::PrintToString(out);
    EXPECT_TRUE(has(out, "notify -866"));
    EXPECT_EQ(std::count_if(out.begin(), out.end(), [](auto& l) { return l.rfind("message", 0) == 0; }), 0);

    SF_INFO info {};
    SNDFILE* f = sf_open(sound.memo.c_str(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    sf_close(f);
    const double seconds = static_cast<double>(info.frames) / info.samplerate;
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(info.channels, 1);
    EXPECT_GT(seconds, 0.8);
    EXPECT_LT(seconds, 1.6);
    EXPECT_NEAR(played(out), seconds, 0.15);
    EXPECT_TRUE(sound.leftovers().empty());
}

TEST(Sound, WithoutAServerEachDeviceIsMissedAloudAndNothingIsWritten)
{
    Sound sound(false);
    writeTone(sound.memo, SF_FORMAT_PCM_16);
    const Bytes before = sound.memoBytes();
    EXPECT_EQ(sound.run({"R", "wait:300", "S", "P", "Escape"}), (Lines {kNoInput, kNoOutput, "notify -865", "exit 0"}));
    EXPECT_EQ(sound.memoBytes(), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(sound.root), {}), 3); // run, home and the memo
}

// A copy of the program away from its sound module: a server is there, but nothing can reach it.
TEST(Sound, WithoutTheSoundModuleEachDeviceIsMissedAloudAndNothingIsWritten)
{
    Sound sound(true);
    ASSERT_TRUE(sound.running());
    writeTone(sound.memo, SF_FORMAT_PCM_16);
    const Bytes before = sound.memoBytes();
    fs::create_directories(sound.root / "bin");
    sound.driver = (sound.root / "bin/driver").string();
    fs::copy_file(PAGELET_SOUND_DRIVER, sound.driver);
    EXPECT_EQ(sound.run({"R", "wait:300", "S", "P", "Escape"}), (Lines {kNoInput, kNoOutput, "notify -865", "exit 0"}));
    EXPECT_EQ(sound.memoBytes(), before);
}

TEST(Sound, AFullDiskOrAKilledRecorderLeavesTheOldMemoAsItWas)
{
    Sound sound(true);
    ASSERT_TRUE(sound.running());
    writeTone(sound.memo, SF_FORMAT_PCM_16);
    const Bytes before = sound.memoBytes();

    // Full at once, or after the first seconds came in (the box then opened inside the source's
    // own signal and the source was gone when it closed).
    for (const auto& [limit, wait] : {std::pair {"limit:8192", "wait:1000"}, std::pair {"limit:100000", "wait:3000"}}) {
        const Lines out = sound.run({limit, "R", wait, "S", "Return"});
        EXPECT_EQ(std::count(out.begin(), out.end(), kNotSaved), 1) << testing::PrintToString(out);
        EXPECT_EQ(out.back(), "exit 0");
        EXPECT_EQ(sound.memoBytes(), before);
        EXPECT_TRUE(sound.leftovers().empty());
    }

    FILE* recorder = sound.start({"pid", "R", "wait:60000"});
    int pid = 0;
    ASSERT_EQ(std::fscanf(recorder, "pid %d", &pid), 1);
    ASSERT_GT(pid, 0); // kill(0) would take this whole process group with it
    // Killed once the recording is well on its way to the disk.
    auto growing = [&] {
        const auto found = sound.leftovers();
        return !found.empty() && fs::file_size(found[0]) > 16000;
    };
    for (int i = 0; i < 200 && !growing(); ++i)
        std::this_thread::sleep_for(25ms);
    EXPECT_TRUE(growing());
    ::kill(pid, SIGKILL);
    ::pclose(recorder);
    EXPECT_EQ(sound.memoBytes(), before);
    EXPECT_EQ(removeTemporaryFiles(fromUtf8(sound.root.string())), 1); // as the next start does
}

TEST(Sound, MemosMadeElsewherePlayAndADamagedOneIsTold)
{
    Sound sound(true);
    ASSERT_TRUE(sound.running());
    for (const int subtype : {int {SF_FORMAT_GSM610}, int {SF_FORMAT_IMA_ADPCM}, 0}) {
        SCOPED_TRACE(subtype);
        if (subtype)
            writeTone(sound.memo, subtype);
        else
            std::ofstream(sound.memo, std::ios::binary) << "RIFF\x24\0\0\0WAVEfmt garbage that is no format";
        const Lines out = sound.run({"P", "played", "Return"});
        EXPECT_EQ(has(out, kUnplayable), subtype == 0) << testing::PrintToString(out);
        if (subtype) {
            EXPECT_NEAR(played(out), 0.5, 0.1);
        }
    }
}

// The server goes away (killed: a crash, a restart of the desktop's sound) at each stage.
TEST(Sound, AServerThatGoesAwayStopsTheRecorderKeepingWhatWasRecorded)
{
    struct Case {
        const char* name;
        Lines before;
        bool memoChanged;
        std::string message;
    };
    const Case cases[] = {
        {"recording, nothing yet", {"R"}, false, kNoInput},
        {"recording a while", {"R", "wait:1000"}, true, kNoInput},
        {"playing", {"P", "wait:300"}, false, kNoOutput},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sound sound(true);
        ASSERT_TRUE(sound.running());
        writeTone(sound.memo, SF_FORMAT_PCM_16);
        Lines steps = c.before;
        steps.push_back(sound.killServer());
        steps.insert(steps.end(), {"wait:1500", "same", "S", "Return"});
        const Lines out = sound.run(steps);
        EXPECT_EQ(out, (Lines {c.message, c.memoChanged ? "memo changed" : "memo same", "notify -866", "exit 0"}));
        EXPECT_TRUE(sound.leftovers().empty());
        SF_INFO info {};
        SNDFILE* f = sf_open(sound.memo.c_str(), SFM_READ, &info);
        EXPECT_NE(f, nullptr) << "the memo is a sound";
        if (f)
            sf_close(f);
    }
}

// Qt lists the null microphone first; the server's default is what the desktop chose.
TEST(Sound, TheRecordingComesFromTheSourceTheServerNamesAsItsDefault)
{
    Sound sound(true, "module-sine-source source_name=tone frequency=440");
    ASSERT_TRUE(sound.running());
    for (const auto& [source, loud] : {std::pair {"tone", true}, std::pair {"mic", false}}) {
        SCOPED_TRACE(source);
        ASSERT_EQ(std::system(("pactl set-default-source " + std::string(source)).c_str()), 0);
        sound.run({"R", "wait:500", "S", "Return"});
        SF_INFO info {};
        SNDFILE* f = sf_open(sound.memo.c_str(), SFM_READ, &info);
        ASSERT_NE(f, nullptr);
        std::vector<short> samples(static_cast<std::size_t>(info.frames));
        sf_readf_short(f, samples.data(), info.frames);
        sf_close(f);
        const int peak = samples.empty() ? 0 : std::abs(*std::max_element(samples.begin(), samples.end()));
        EXPECT_EQ(peak > 1000, loud) << peak;
    }
}

// An encrypted diary's memo plays from memory, and a new one reaches the folder only sealed:
// no plain recording, whole or partial, lies beside it at any point.
TEST(Sound, AnEncryptedDiarysMemoPlaysAndIsRecordedSealed)
{
    Sound sound(true);
    ASSERT_TRUE(sound.running());
    sound.sealed = true;
    const fs::path scratch = fs::temp_directory_path() / ("pagelet-scratch-" + std::to_string(::getpid()) + ".wav");
    writeTone(scratch, SF_FORMAT_PCM_16);
    const Bytes tone = readFile(fromUtf8(scratch.string())).value_or(Bytes {});
    fs::remove(scratch);
    ASSERT_TRUE(writeFileAtomic(fromUtf8(sound.memo.string()), sealFile(driverKey(), {2001, 6, 7}, SealedKind::Memo, tone)));

    // The folder is looked at all the while the recorder runs: a file in it may be sealed (the
    // memo, or its sealed replacement on its way in), never a plain WAV.
    std::atomic<bool> done = false;
    std::set<std::string> plain;
    std::thread watch([&] {
        while (!done) {
            std::error_code gone;
            for (const auto& e : fs::directory_iterator(sound.root, gone)) {
                // Caught as it is replaced, a file may be gone already or not written yet.
                const auto bytes = readFile(fromUtf8(e.path().string()));
                if (bytes && bytes->size() >= 4 && !looksSealed(*bytes))
                    plain.insert(e.path().filename().string());
            }
            std::this_thread::sleep_for(5ms);
        }
    });
    const Lines out = sound.run({"P", "played", "R", "wait:1000", "S", "P", "played", "Return"});
    done = true;
    watch.join();
    EXPECT_TRUE(plain.empty()) << testing::PrintToString(plain);
    EXPECT_TRUE(has(out, "notify -866")) << testing::PrintToString(out);
    const Bytes onDisk = sound.memoBytes();
    ASSERT_TRUE(looksSealed(onDisk));
    const auto recorded = openSealed(driverKey(), {2001, 6, 7}, SealedKind::Memo, onDisk);
    ASSERT_TRUE(recorded);
    const double seconds = secondsOf(*recorded, scratch);
    EXPECT_GT(seconds, 0.8);
    EXPECT_LT(seconds, 3.2); // the null source's blocks are 2 s
    const auto each = playedEach(out);
    ASSERT_EQ(each.size(), 2u) << testing::PrintToString(out);
    EXPECT_NEAR(each[0], 0.5, 0.1);
    EXPECT_NEAR(each[1], seconds, 0.15);
}
