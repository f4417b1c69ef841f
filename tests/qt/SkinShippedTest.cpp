// The skins we ship: complete, laid out without collisions, ruled where the editor writes,
// and installed by pagelet-setup.
#include "app/Commands.h"
#include "fakes/Fakes.h"
#include "qt/QtGraphics.h"
#include "skin/LoadSkin.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagelet;

namespace {

const char* const kSkins[] = {"default", "Blue", "Wood"};
const char* const kFiles[] = {"skin.skn",    "back.bmp",    "etc.bmp",     "number.bmp",
                              "weekday.bmp", "weather.bmp", "button1.bmp", "button2.bmp"};

bool overlap(const Rect& a, const Rect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

TEST(ShippedSkins, AreCompleteLaidOutWithoutCollisionsAndRuledUnderEveryLine)
{
    for (const char* name : kSkins) {
        SCOPED_TRACE(name);
        QtGraphics graphics;
        fakes::FakeCalendar calendar;
        fakes::FakeMessageBox messages;
        Skin skin;
        const std::u16string folder = fromQString(QStringLiteral(PAGELET_RES_DIR "/skins/") + name + "/");
        ASSERT_TRUE(LoadSkin(skin, folder, {graphics, calendar, messages, {240, 270}, 0}));
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(calendar.colors.size(), 6u);

        const std::pair<const ImageStrip*, int> strips[] = {{skin.etcStrip.get(), 4},     {skin.numberStrip.get(), 10},
                                                            {skin.weekdayStrip.get(), 7}, {skin.weatherStrip.get(), 5},
                                                            {skin.button1Strip.get(), 5}, {skin.button2Strip.get(), 6}};
        for (const auto& [strip, cells] : strips) {
            ASSERT_TRUE(strip);
            EXPECT_EQ(strip->cellCount(), cells);
        }
        ASSERT_EQ(skin.elements.size(), 11u);
        std::vector<Rect> placed(skin.dateCells.begin(), skin.dateCells.end());
        for (const auto& e : skin.elements)
            placed.push_back(e->rect);
        for (std::size_t i = 0; i < placed.size(); ++i) {
            const Rect& r = placed[i];
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= 240 && r.bottom <= 270) << i;
            EXPECT_FALSE(overlap(r, skin.textArea)) << i;
            for (std::size_t j = i + 1; j < placed.size(); ++j)
                EXPECT_FALSE(overlap(r, placed[j])) << i << " and " << j;
        }

        // The editor writes line n in a box 14 high (the line height here), 2 + n * 14 below
        // the page top; a rule runs between each box and the next.
        const int lineHeight = 14;
        const auto back = graphics.loadBitmap(folder + u"back.bmp");
        ASSERT_TRUE(back);
        ASSERT_EQ(back->size(), (Size {240, 270}));
        const QImage& image = static_cast<const QtBitmap&>(*back).image;
        const Rect t = skin.textArea;
        const QRgb paper = image.pixel(t.left + 30, t.top + 3);
        int rules = 0;
        for (int y = t.top; y < t.bottom; ++y) {
            const bool rule = y > t.top + 2 && (y - t.top - 2) % lineHeight == 0;
            for (int x : {t.left + 10, (t.left + t.right) / 2, t.right - 10})
                EXPECT_EQ(image.pixel(x, y) != paper, rule) << "x " << x << " y " << y;
            rules += rule;
        }
        EXPECT_GE(rules, 12) << "room for a dozen lines";
    }
}

TEST(ShippedSkins, SetupInstallsAllThree)
{
    QTemporaryDir install;
    QTemporaryDir config;
    QProcess setup;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config.path());
    setup.setProcessEnvironment(env);
    setup.start(PAGELET_SETUP_BIN, {"--program-path", install.path() + "/pagelet"});
    ASSERT_TRUE(setup.waitForFinished(20000));
    ASSERT_EQ(setup.exitCode(), 0) << setup.readAllStandardError().toStdString();
    for (const char* name : kSkins)
        for (const char* file : kFiles)
            EXPECT_TRUE(QFileInfo(install.path() + "/pagelet/skin/" + name + "/" + file).isFile()) << name << "/" << file;
}
