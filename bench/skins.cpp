// Peak memory of loading damaged skins: bitmaps whose headers claim huge or compressed
// pictures, as a downloaded skin may hold. Measured here rather than in the fuzz test, where a
// sanitizer's own bookkeeping would count against the limit.
#include "base/Text.h"
#include "fakes/Fakes.h"
#include "qt/graphics/QtGraphics.h"
#include "qt/graphics/Zoom.h"
#include "skin/LoadSkin.h"
#include "WithApplication.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace pagelet;

namespace {

constexpr long kPeakLimitKilobytes = 400 * 1024;
const char* const kStrips[] = {"etc.bmp", "number.bmp", "weekday.bmp", "weather.bmp", "button1.bmp", "button2.bmp"};

// The peak before any skin is loaded: the benchmark runs its loop more than once, and the
// peak only ever grows.
long g_startPeak = 0;

long peakKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QByteArray shipped(const char* name)
{
    QFile f(QStringLiteral(PAGELET_RES_DIR "/skins/default/") + name);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

QByteArray withInt32(QByteArray b, int at, std::int32_t v)
{
    for (int k = 0; k < 4; ++k)
        b[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
    return b;
}

// Skin folders: every strip a tiny file claiming the largest compressed picture allowed, then
// number.bmp with each header field set to each extreme.
struct DamagedSkins {
    DamagedSkins()
    {
        const QByteArray number = shipped("number.bmp");
        QByteArray bomb = number.left(54 + 1024);
        for (const auto& [at, v] : {std::pair {18, 4096}, {22, 4096}, {28, 0x10008}, {10, 54 + 1024}, {46, 256}})
            bomb = withInt32(bomb, at, v);
        add([&](const char*) { return bomb + QByteArray(64, '\0'); });
        const std::int32_t extremes[] = {0, 1, -1, 4096, 4097, 65535, 1 << 20, INT32_MAX, INT32_MIN};
        for (const int field : {2, 10, 14, 18, 22, 26, 28, 30, 34, 46})
            for (const std::int32_t v : extremes)
                add([&](const char* name) {
                    return QByteArray(name) == "number.bmp" ? withInt32(number, field, v) : shipped(name);
                });
    }

    template <typename Bytes> void add(Bytes bytes)
    {
        const QString folder = dir.path() + "/" + QString::number(folders.size()) + "/";
        QDir().mkpath(folder);
        for (const char* name : kStrips) {
            QFile f(folder + name);
            f.open(QIODevice::WriteOnly);
            f.write(bytes(name));
        }
        QFile skn(folder + "skin.skn");
        skn.open(QIODevice::WriteOnly);
        skn.write("NUMBER:9,16\nETC:13,16\nWEEKDAY:13,16\nWEATHER:18,18\nBUTTON1:18,18\nBUTTON2:24,20\n");
        folders.push_back(fromQString(folder));
    }

    QTemporaryDir dir;
    std::vector<std::u16string> folders;
};

void BM_LoadDamagedSkins(benchmark::State& state)
{
    DamagedSkins skins;
    fakes::FakePlatform p;
    const Zoom zoom;
    QtGraphics graphics {zoom};
    for (auto _ : state)
        for (const auto& folder : skins.folders) {
            Skin skin;
            LoadSkin(skin, folder, {graphics, p.calendar, p.messages, {240, 270}, 2});
            benchmark::DoNotOptimize(skin.elements.size());
        }
    const long growth = peakKilobytes() - g_startPeak;
    state.counters["skins"] = static_cast<double>(skins.folders.size());
    state.counters["peakGrowthMB"] = static_cast<double>(growth) / 1024;
    if (growth > kPeakLimitKilobytes)
        state.SkipWithError("peak memory grew by more than 400 MB");
}
BENCHMARK(BM_LoadDamagedSkins)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runWithApplication(argc, argv, [] { g_startPeak = peakKilobytes(); });
}
