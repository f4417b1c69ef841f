// Feeds damaged and random skins to the loader and the painter: nothing may crash or hang,
// whatever a downloaded skin holds. Their peak memory is measured in bench/skins.cpp.
#include "app/MainDialog.h"
#include "fakes/Fakes.h"
#include "qt/graphics/QtGraphics.h"
#include "qt/graphics/Zoom.h"
#include "skin/LoadSkin.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

using namespace pagelet;

namespace {

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

struct Fuzzer {
    Fuzzer()
        : dialog(MainDialogPorts {p.window, p.messages, p.registry, p.exit, p.calendar, p.edit, graphics, p.clock,
                                  p.dialogs, p.softInput, p.recorder, p.caseFolding})
    {
        dialog.setDataFolder(fromQString(folder + "diary/"));
        dialog.navigation().startOn(fromLocal({2025, 12, 25}, 12));
        p.window.surface = &surface;
        for (const char* name : {"etc.bmp", "number.bmp", "weekday.bmp", "weather.bmp", "button1.bmp", "button2.bmp"})
            put(name, shipped(name));
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
        LoadSkin(dialog.skin(), fromQString(folder), {graphics, p.calendar, p.messages, p.window.client, 2});
        const Skin& s = dialog.skin();
        ASSERT_LE(s.elements.size(), static_cast<std::size_t>(SkinLoader::kMaxStripLines * 5)) << what;
        ASSERT_LE(s.textArea.top, s.textArea.bottom) << what;
        for (const auto* strip : {s.etcStrip.get(), s.numberStrip.get(), s.weekdayStrip.get(), s.weatherStrip.get(),
                                  s.button1Strip.get(), s.button2Strip.get()})
            ASSERT_LE(strip ? strip->cellCount() : 0, 10) << what;
        dialog.skin().background = std::make_unique<QtBitmap>(QImage(240, 270, QImage::Format_RGB32));
        dialog.OnPaint(surface);
        for (std::size_t i = 0; i < s.elements.size() && i < 6; ++i) {
            dialog.OnLButtonDown(s.elements[i]->rect.left, s.elements[i]->rect.top);
            dialog.OnLButtonUp();
        }
        ++runs;
    }

    QTemporaryDir dir;
    QString folder = QDir(dir.path()).absolutePath() + "/";
    fakes::FakePlatform p;
    const Zoom zoom;
    QtGraphics graphics {zoom};
    MainDialog dialog;
    QtSurface surface {Size {240, 270}};
    std::mt19937 random {20251205};
    int runs = 0;
};

} // namespace

TEST(SkinFuzz, DamagedBitmapsAndRandomSkinFilesLoadWithinBounds)
{
    Fuzzer f;
    f.put("skin.skn", "ETC:13,16\nNUMBER:9,16\nBUTTON2:24,20\n");

    const QByteArray etc = shipped("etc.bmp");
    ASSERT_GT(etc.size(), 1000);
    for (int cut = 0; cut < etc.size(); ++cut) {
        f.put("etc.bmp", etc.left(cut));
        f.run("cut etc.bmp");
        ASSERT_EQ(f.dialog.skin().etcStrip->cellCount(), 0) << "a picture cut at " << cut << " is broken, not half";
    }
    f.put("etc.bmp", etc);

    // Header fields set to extremes, and random bytes thrown at the header.
    const QByteArray number = shipped("number.bmp");
    const std::int32_t extremes[] = {0, 1, -1, 4096, 4097, 65535, 1 << 20, INT32_MAX, INT32_MIN};
    const int fields[] = {2, 10, 14, 18, 22, 26, 28, 30, 34, 46};
    for (int i = 0; i < 800; ++i) {
        QByteArray b = number;
        if (i % 2 == 0)
            b = withInt32(b, fields[i / 2 % std::size(fields)], extremes[(i / 20) % std::size(extremes)]);
        else
            for (int k = 0; k < 1 + i % 8; ++k)
                b[std::uniform_int_distribution<int>(0, 69)(f.random)] = static_cast<char>(f.random());
        f.put("number.bmp", b);
        f.run("damaged number.bmp header");
    }
    // A tiny file that claims the largest picture allowed, compressed: decoded within the limit.
    QByteArray bomb = number.left(54 + 1024);
    for (const auto& [at, v] : {std::pair {18, 4096}, {22, 4096}, {28, 0x10008}, {10, 54 + 1024}, {46, 256}})
        bomb = withInt32(bomb, at, v);
    for (const char* name : {"etc.bmp", "number.bmp", "weekday.bmp", "weather.bmp", "button1.bmp", "button2.bmp"})
        f.put(name, bomb + QByteArray(64, '\0'));
    f.put("skin.skn", "NUMBER:9,16\nETC:13,16\nWEEKDAY:13,16\nWEATHER:18,18\nBUTTON1:18,18\nBUTTON2:24,20\n");
    f.run("compressed bombs");
    for (const char* name : {"etc.bmp", "number.bmp", "weekday.bmp", "weather.bmp", "button1.bmp", "button2.bmp"})
        f.put(name, shipped(name));

    const char* const keys[] = {"NUMBER", "ETC",    "WEEKDAY", "WEATHER",    "BUTTON1", "BUTTON2",
                                "ENABLE", "DISABLE", "TEXT",   "BACKGROUND", "button1", "[BUTTON1]"};
    const char* const breaks[] = {"\r\n", "\n", "\r", "\n\r", "\r\n\r\n", ""};
    auto percent = [&] { return std::uniform_int_distribution<int>(0, 99)(f.random); };
    auto value = [&]() -> std::string {
        switch (percent() % 6) {
        case 0: return std::to_string(std::uniform_int_distribution<int>(-40, 40)(f.random));
        case 1: return std::to_string(static_cast<std::int32_t>(f.random()));
        case 2: return "99999999999999999999";
        case 3: return " +" + std::to_string(percent());
        case 4: return "";
        default: return std::to_string(percent() % 30);
        }
    };
    for (int i = 0; i < 1500; ++i) {
        std::string skn;
        for (int l = percent() % 30; l > 0; --l) {
            const int kind = percent();
            if (kind < 60)
                skn += std::string(percent() < 10 ? "::" : "") + keys[percent() % std::size(keys)] + ":" + value() +
                       "," + value() + (percent() < 50 ? "," + value() : "");
            else if (kind < 75)
                skn += std::string(50 + percent() * 3, "ABC,:1"[percent() % 6]); // long lines
            else
                for (int k = percent(); k > 0; --k)
                    skn += static_cast<char>(f.random());
            skn += breaks[percent() % std::size(breaks)];
        }
        f.put("skin.skn", QByteArray::fromStdString(skn));
        f.run("random skin.skn");
    }
    EXPECT_GT(f.runs, 4500);
    EXPECT_FALSE(f.p.messages.shown.empty()) << "long lines were warned about";
}
