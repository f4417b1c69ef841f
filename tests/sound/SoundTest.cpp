// The real recorder on real sound: a private PulseAudio server with a null microphone and
// speaker, or none at all. The recorder runs in a child program, so it can be given a full disk
// or be killed mid-recording.
#include "base/FileIo.h"
#include "base/Text.h"

#include <chrono>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <sstream>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace pagelet;
using namespace std::chrono_literals;

extern char** environ;

namespace {

struct Folder {
    Folder()
    {
        char name[] = "/tmp/pagelet-sound-XXXXXX";
        root = ::mkdtemp(name);
    }
    ~Folder() { fs::remove_all(root); }
    fs::path root;
};

std::vector<std::string> baseEnv()
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string v = *e;
        if (v.rfind("PULSE_", 0) != 0 && v.rfind("XDG_RUNTIME_DIR=", 0) != 0 && v.rfind("HOME=", 0) != 0)
            env.push_back(v);
    }
    return env;
}

pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, int out = -1)
{
    std::vector<char*> a, e;
    for (const auto& s : args)
        a.push_back(const_cast<char*>(s.c_str()));
    for (const auto& s : env)
        e.push_back(const_cast<char*>(s.c_str()));
    a.push_back(nullptr);
    e.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (out >= 0)
        posix_spawn_file_actions_adddup2(&actions, out, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    posix_spawnp(&pid, a[0], &actions, nullptr, a.data(), e.data());
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// A sound server of the test's own, or (server false) a place where none runs.
struct Sound {
    explicit Sound(bool server)
    {
        fs::create_directories(dir.root / "run");
        fs::create_directories(dir.root / "home");
        env = baseEnv();
        env.push_back("XDG_RUNTIME_DIR=" + (dir.root / "run").string());
        env.push_back("HOME=" + (dir.root / "home").string());
        const fs::path socket = dir.root / "run" / "pulse" / "native";
        env.push_back("PULSE_SERVER=unix:" + socket.string());
        if (!server)
            return;
        pid = spawn({"pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1",
                     "--load=module-null-sink sink_name=speaker", "--load=module-null-source source_name=mic",
                     "--load=module-native-protocol-unix"},
                    env);
        for (int i = 0; i < 100 && !fs::exists(socket); ++i)
            std::this_thread::sleep_for(50ms);
    }
    ~Sound()
    {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    }
    bool running() const { return pid > 0 && fs::exists(dir.root / "run" / "pulse" / "native"); }

    // Runs the recorder on memo with the steps; its printed lines.
    std::vector<std::string> run(const fs::path& memo, std::vector<std::string> steps, pid_t* started = nullptr) const
    {
        int pipe[2];
        if (::pipe(pipe) != 0)
            return {};
        steps.insert(steps.begin(), {PAGELET_SOUND_DRIVER, memo.string()});
        const pid_t child = spawn(steps, env, pipe[1]);
        ::close(pipe[1]);
        if (started) {
            *started = child;
            ::close(pipe[0]);
            return {};
        }
        std::string text;
        char buf[512];
        for (ssize_t n; (n = ::read(pipe[0], buf, sizeof buf)) > 0;)
            text.append(buf, static_cast<std::size_t>(n));
        ::close(pipe[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        lines.push_back("exit " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1));
        return lines;
    }

    Folder dir;
    std::vector<std::string> env;
    pid_t pid = -1;
};

struct WavInfo {
    int format = 0, channels = 0;
    double seconds = -1;
};
WavInfo wavInfo(const fs::path& path)
{
    SF_INFO info {};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f)
        return {};
    sf_close(f);
    return {info.format, info.channels, static_cast<double>(info.frames) / info.samplerate};
}

// Half a second of a tone in the given WAV flavour, made by the sound library itself.
void writeTone(const fs::path& path, int subtype, int rate)
{
    SF_INFO info {};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | subtype;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    std::vector<short> tone(static_cast<std::size_t>(rate / 2));
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<short>(8000 * std::sin(i * 0.2));
    sf_write_short(f, tone.data(), static_cast<sf_count_t>(tone.size()));
    sf_close(f);
}

Bytes bytesOf(const fs::path& p)
{
    return readFile(fromUtf8(p.string())).value_or(Bytes {});
}

bool has(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::vector<std::string> leftovers(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        if (isTemporaryName(fromUtf8(e.path().filename().string())))
            names.push_back(e.path().filename().string());
    return names;
}

double playedSeconds(const std::vector<std::string>& lines)
{
    for (const auto& l : lines)
        if (l.rfind("played ", 0) == 0)
            return std::stod(l.substr(7));
    return -1;
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
    const fs::path memo = sound.dir.root / "20010607.wav";
    writeTone(memo, SF_FORMAT_PCM_16, 8000);
    const auto out = sound.run(memo, {"R", "wait:1000", "same", "S", "same", "P", "played", "Return"});
    const std::vector<std::string> expected = {"memo same", "memo changed"};
    EXPECT_EQ(std::vector<std::string>(out.begin(), out.begin() + 2), expected) << ::testing::PrintToString(out);
    EXPECT_TRUE(has(out, "notify -866"));
    EXPECT_EQ(std::count_if(out.begin(), out.end(), [](auto& l) { return l.rfind("message", 0) == 0; }), 0);
    const WavInfo w = wavInfo(memo);
    EXPECT_EQ(w.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(w.channels, 1);
    EXPECT_GT(w.seconds, 0.8);
    EXPECT_LT(w.seconds, 1.6);
    EXPECT_NEAR(playedSeconds(out), w.seconds, 0.15);
    EXPECT_TRUE(leftovers(sound.dir.root).empty());
}

TEST(Sound, WithoutAServerEachDeviceIsMissedAloudAndNothingIsWritten)
{
    Sound sound(false);
    const fs::path memo = sound.dir.root / "20010607.wav";
    writeTone(memo, SF_FORMAT_PCM_16, 8000);
    const Bytes before = bytesOf(memo);
    const auto out = sound.run(memo, {"R", "wait:300", "S", "P", "Escape"});
    EXPECT_EQ(out, (std::vector<std::string> {kNoInput, kNoOutput, "notify -865", "exit 0"}));
    EXPECT_EQ(bytesOf(memo), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(sound.dir.root), {}), 3); // run, home, the memo
}

TEST(Sound, AFullDiskOrAKilledRecorderLeavesTheOldMemoAsItWas)
{
    Sound sound(true);
    ASSERT_TRUE(sound.running());
    const fs::path memo = sound.dir.root / "20010607.wav";
    writeTone(memo, SF_FORMAT_PCM_16, 8000);
    const Bytes before = bytesOf(memo);

    const auto out = sound.run(memo, {"limit:8192", "R", "wait:1000", "S", "Return"});
    EXPECT_EQ(std::count(out.begin(), out.end(), kNotSaved), 1) << ::testing::PrintToString(out);
    EXPECT_EQ(bytesOf(memo), before);
    EXPECT_TRUE(leftovers(sound.dir.root).empty());

    pid_t child = -1;
    sound.run(memo, {"R", "wait:60000"}, &child);
    ASSERT_GT(child, 0);
    // Killed once the recording is well on its way to the disk.
    auto growing = [&] {
        for (const auto& name : leftovers(sound.dir.root))
            if (fs::file_size(sound.dir.root / name) > 16000)
                return true;
        return false;
    };
    for (int i = 0; i < 200 && !growing(); ++i)
        std::this_thread::sleep_for(25ms);
    EXPECT_TRUE(growing());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(bytesOf(memo), before);
    EXPECT_EQ(removeTemporaryFiles(fromUtf8(sound.dir.root.string()) + u"/"), 1); // as the next start does
}

TEST(Sound, MemosMadeElsewherePlayAndADamagedOneIsTold)
{
    Sound sound(true);
    ASSERT_TRUE(sound.running());
    const fs::path memo = sound.dir.root / "20010607.wav";
    const struct {
        const char* name;
        int subtype; // 0: damaged
    } cases[] = {{"GSM 6.10", SF_FORMAT_GSM610}, {"IMA ADPCM", SF_FORMAT_IMA_ADPCM}, {"damaged", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.subtype)
            writeTone(memo, c.subtype, 8000);
        else
            std::ofstream(memo, std::ios::binary) << "RIFF\x24\0\0\0WAVEfmt garbage that is no format";
        const auto out = sound.run(memo, {"P", "played", "Return"});
        if (c.subtype) {
            EXPECT_NEAR(playedSeconds(out), 0.5, 0.1) << ::testing::PrintToString(out);
            EXPECT_FALSE(has(out, kUnplayable));
        } else {
            EXPECT_TRUE(has(out, kUnplayable)) << ::testing::PrintToString(out);
        }
    }
}
