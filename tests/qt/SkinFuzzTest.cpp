// Feeds damaged and random skins to the loader and the painter: nothing may crash, hang or
// grow without bound, whatever a downloaded skin holds.
#include "app/MainDialog.h"
#include "fakes/Fakes.h"
#include "qt/QtGraphics.h"
#include "skin/LoadSkin.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>

using namespace pagelet;

namespace {

const char* const kKeys[] = {"NUMBER", "ETC",       "WEEKDAY",   "WEATHER",    "BUTTON1", "BUTTON2",
                             "ENABLE", "DISABLE",   "TEXT",      "BACKGROUND", "button1", "[BUTTON1]"};
const char* const kBitmaps[] = {"etc.bmp", "number.bmp", "weekday.bmp", "weather.bmp", "button1.bmp", "button2.bmp"};
const char* const kAllStrips = "NUMBER:9,16\nETC:13,16\nWEEKDAY:13,16\nWEATHER:18,18\nBUTTON1:18,18\nBUTTON2:24,20\n";

long peakKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

class Fuzzer {
public:
    Fuzzer()
        : dialog(MainDialogPorts {p.window, p.messages, p.registry, p.exit, p.calendar, p.edit, graphics, p.clock,
                                  p.dialogs, p.softInput})
    {
        folder = QDir(dir.path()).absolutePath() + "/";
        dialog.settings.dataPath = fromQString(folder + "diary/");
        dialog.selectedDay = fromLocal({2025, 12, 25}, 12);
        p.window.surface = &surface;
        for (const char* name : kBitmaps)
            original[name] = readAll(QStringLiteral(PAGELET_RES_DIR "/skins/default/") + name);
    }

    void put(const QString& name, const QByteArray& bytes)
    {
        // A fresh file each time: rewriting a truncated one makes the file system flush it.
        QFile::remove(folder + name);
        QFile f(folder + name);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }

    // Loads the folder, checks what any loaded skin must satisfy, then paints and taps it.
    void run(const char* what)
    {
        LoadSkin(dialog.skin, fromQString(folder), {graphics, p.calendar, p.messages, p.window.client, 2});
        const Skin& s = dialog.skin;
        ASSERT_LE(s.elements.size(), static_cast<std::size_t>(SkinLoader::kMaxStripLines * 5)) << what;
        ASSERT_LE(s.textArea.top, s.textArea.bottom) << what;
        for (const auto* strip : {s.etcStrip.get(), s.numberStrip.get(), s.weekdayStrip.get(), s.weatherStrip.get(),
                                  s.button1Strip.get(), s.button2Strip.get()})
            if (strip) {
                ASSERT_LE(strip->cellCount(), 10) << what;
            }
        dialog.skin.background = std::make_unique<QtBitmap>(backImage);
        dialog.OnPaint(surface);
        for (std::size_t i = 0; i < s.elements.size() && i < 6; ++i) {
            const Rect r = s.elements[i]->rect;
            dialog.OnLButtonDown(r.left, r.top);
            dialog.OnLButtonUp();
        }
        ++runs;
    }

    QTemporaryDir dir;
    QString folder;
    fakes::FakePlatform p;
    QtGraphics graphics;
    MainDialog dialog;
    QtSurface surface {Size {240, 270}};
    QImage backImage {240, 270, QImage::Format_RGB32};
    std::map<std::string, QByteArray> original;
    std::mt19937 random {20251205};
    int runs = 0;
};

} // namespace

TEST(SkinFuzz, DamagedBitmapsLoadAsMissingOrWhole)
{
    Fuzzer f;
    const long before = peakKilobytes();
    // The damaged pictures, and one whole one to draw beside them.
    f.put("skin.skn", "ETC:13,16\nNUMBER:9,16\nBUTTON2:24,20\n");
    for (const char* name : kBitmaps)
        f.put(name, f.original[name]);

    // Cut at every offset.
    const QByteArray etc = f.original["etc.bmp"];
    ASSERT_GT(etc.size(), 1000);
    for (int cut = 0; cut < etc.size(); ++cut) {
        f.put("etc.bmp", etc.left(cut));
        f.run("cut etc.bmp");
        // A picture cut short is broken, not half a picture.
        ASSERT_EQ(f.dialog.skin.etcStrip->cellCount(), 0) << "cut at " << cut;
    }
    f.put("etc.bmp", etc);

    // Header fields set to extremes, and random bytes thrown at the header.
    const QByteArray number = f.original["number.bmp"];
    const std::int32_t extremes[] = {0, 1, -1, 4096, 4097, 65535, 1 << 20, INT32_MAX, INT32_MIN};
    const int fields[] = {2, 10, 14, 18, 22, 26, 28, 30, 34, 46};
    std::uniform_int_distribution<int> anyByte(0, 255);
    for (int i = 0; i < 800; ++i) {
        QByteArray b = number;
        if (i % 2 == 0) {
            const int at = fields[i / 2 % std::size(fields)];
            const std::int32_t v = extremes[(i / 20) % std::size(extremes)];
            for (int k = 0; k < 4; ++k)
                b[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
        } else {
            for (int k = 0; k < 1 + i % 8; ++k)
                b[std::uniform_int_distribution<int>(0, 69)(f.random)] = static_cast<char>(anyByte(f.random));
        }
        f.put("number.bmp", b);
        f.run("damaged number.bmp header");
    }
    // A tiny file that claims the largest picture allowed, compressed: decoded within the limit.
    QByteArray bomb = number.left(54 + 1024);
    const std::int32_t header[][2] = {{18, 4096}, {22, 4096}, {28, 8}, {30, 1}, {10, 54 + 1024}, {46, 256}};
    for (const auto& [at, v] : header)
        for (int k = 0; k < 4; ++k)
            bomb[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
    bomb[28 + 2] = bomb[28 + 3] = 0;
    for (const char* name : kBitmaps)
        f.put(name, bomb + QByteArray(64, '\0'));
    f.put("skin.skn", kAllStrips);
    f.run("compressed bombs");

    EXPECT_GT(f.runs, 3000);
    EXPECT_LT(peakKilobytes() - before, 400 * 1024) << "peak memory grew by more than 400 MB";
}

TEST(SkinFuzz, RandomSkinFilesLoadWithinBounds)
{
    Fuzzer f;
    for (const char* name : kBitmaps)
        f.put(name, f.original[name]);
    const long before = peakKilobytes();
    std::uniform_int_distribution<int> percent(0, 99);
    auto number = [&]() -> std::string {
        switch (percent(f.random) % 6) {
        case 0: return std::to_string(std::uniform_int_distribution<int>(-40, 40)(f.random));
        case 1: return std::to_string(std::uniform_int_distribution<int>(INT32_MIN, INT32_MAX)(f.random));
        case 2: return "99999999999999999999";
        case 3: return " +" + std::to_string(percent(f.random));
        case 4: return "";
        default: return std::to_string(percent(f.random) % 30);
        }
    };
    for (int i = 0; i < 1500; ++i) {
        std::string skn;
        const int lines = percent(f.random) % 30;
        for (int l = 0; l < lines; ++l) {
            const int kind = percent(f.random);
            if (kind < 60) {
                skn += std::string(percent(f.random) < 10 ? "::" : "") + kKeys[percent(f.random) % std::size(kKeys)] +
                       ":" + number() + "," + number() + (percent(f.random) < 50 ? "," + number() : "");
            } else if (kind < 75) {
                skn += std::string(50 + percent(f.random) * 3, "ABC,:1"[percent(f.random) % 6]); // long lines
            } else {
                const int n = percent(f.random);
                for (int k = 0; k < n; ++k)
                    skn += static_cast<char>(std::uniform_int_distribution<int>(0, 255)(f.random));
            }
            const char* breaks[] = {"\r\n", "\n", "\r", "\n\r", "\r\n\r\n", ""};
            skn += breaks[percent(f.random) % std::size(breaks)];
        }
        f.put("skin.skn", QByteArray::fromStdString(skn));
        f.run("random skin.skn");
    }
    // Hundreds of repeated strip lines stop adding buttons after a while.
    std::string repeated;
    for (int i = 0; i < 3000; ++i)
        repeated += "BUTTON2:24,20\r\n";
    f.put("skin.skn", QByteArray::fromStdString(repeated));
    f.run("repeated lines");
    EXPECT_EQ(f.dialog.skin.elements.size(), static_cast<std::size_t>(SkinLoader::kMaxStripLines * 5));

    EXPECT_FALSE(f.p.messages.shown.empty()) << "long lines were warned about";
    EXPECT_LT(peakKilobytes() - before, 200 * 1024) << "peak memory grew by more than 200 MB";
}
