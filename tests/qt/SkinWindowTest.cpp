#include "app/Commands.h"
#include "base/Text.h"
#include "fakes/Fakes.h"
#include "qt/PageletWindow.h"
#include "settings/ConfigFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QPalette>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagelet;

namespace {

const QColor kBack(180, 180, 180);
const QColor kBlue(0, 0, 255);

// Every cell of every strip is one colour of its own, with a magenta 2 x 2 top-left corner.
QColor cellColour(int strip, int cell)
{
    return QColor(40 * strip + 20, 20 * cell + 10, 220 - 15 * cell);
}

const struct {
    const char* file;
    int index;
    int cells;
    QSize cell;
} kStrips[] = {
    {"etc.bmp", 0, 4, {10, 14}},     {"number.bmp", 1, 10, {8, 14}},  {"WEEKDAY.BMP", 2, 7, {20, 14}},
    {"weather.bmp", 3, 5, {16, 16}}, {"button1.bmp", 4, 5, {16, 16}}, {"Button2.bmp", 5, 6, {24, 20}},
};

// An install whose skin is made of solid cells, found through a name in other letter case.
class SolidInstall {
public:
    SolidInstall()
    {
        qputenv("XDG_CONFIG_HOME", QDir(config.path()).absolutePath().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
        root = QDir(install.path()).absolutePath();
        const QString skin = root + "/skin/Solid";
        QDir().mkpath(skin);
        QDir().mkpath(root + "/diary");
        QImage back(240, 270, QImage::Format_RGB32);
        back.fill(kBack);
        back.save(skin + "/back.bmp", "BMP");
        for (const auto& s : kStrips) {
            QImage strip(s.cell.width() * s.cells, s.cell.height(), QImage::Format_RGB32);
            for (int x = 0; x < strip.width(); ++x)
                for (int y = 0; y < strip.height(); ++y) {
                    const int inCell = x % s.cell.width();
                    strip.setPixelColor(x, y, inCell < 2 && y < 2 ? QColor(255, 0, 255)
                                                                  : cellColour(s.index, x / s.cell.width()));
                }
            strip.save(skin + "/" + s.file, "BMP");
        }
        QFile skn(skin + "/SKIN.skn");
        skn.open(QIODevice::WriteOnly);
        skn.write("NUMBER:8,14\r\nETC:10,14\r\nWEEKDAY:20,14\r\nWEATHER:16,16\r\nBUTTON1:16,16\r\nBUTTON2:24,20\r\n");
        skn.close();
        Settings settings;
        settings.skinName = u"SOLID";
        writeConfig(fromQString(root + "/config.dat"), settings);
        QSettings registry(QSettings::NativeFormat, QSettings::UserScope, "Tarnwick", "Pagelet");
        registry.setValue("Program Path", root);
        registry.sync();

        overrides.messages = &messages;
        overrides.exit = &exit;
        overrides.dialogs = &dialogs;
    }
    ~SolidInstall() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QDir::homePath() + "/.config"); }

    QTemporaryDir config;
    QTemporaryDir install;
    QString root;
    fakes::FakeMessageBox messages;
    fakes::FakeExit exit;
    fakes::FakeDialogs dialogs;
    WindowOverrides overrides;
};

QColor pixel(PageletWindow& window, QPoint at)
{
    return QColor(window.grab().toImage().pixel(at));
}

QPoint centre(const Rect& r)
{
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void pen(PageletWindow& window, QEvent::Type type, QPoint at)
{
    QMouseEvent event(type, at, window.mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &event);
}

int stripIndex(const Skin& skin, const ImageStrip* strip)
{
    const ImageStrip* strips[] = {skin.etcStrip.get(),     skin.numberStrip.get(),  skin.weekdayStrip.get(),
                                  skin.weatherStrip.get(), skin.button1Strip.get(), skin.button2Strip.get()};
    for (int i = 0; i < 6; ++i)
        if (strips[i] == strip)
            return i;
    return -1;
}

} // namespace

TEST(SkinWindow, PaintsEachButtonsCellAndTheDateOverTheBackground)
{
    SolidInstall temp;
    PageletWindow window(temp.overrides);
    ASSERT_TRUE(window.start());
    window.show();
    MainDialog& d = window.dialog();
    ASSERT_EQ(d.skin.elements.size(), 11u);
    d.selectedDay = fromLocal({2025, 12, 5}, 12); // a Friday
    const QImage shot = window.grab().toImage();

    EXPECT_EQ(QColor(shot.pixel(1, 1)), kBack);
    for (const auto& e : d.skin.elements) {
        const int strip = stripIndex(d.skin, e->strip);
        EXPECT_EQ(QColor(shot.pixel(centre(e->rect))), cellColour(strip, e->cell)) << e->command;
        EXPECT_EQ(QColor(shot.pixel(e->rect.left, e->rect.top)), kBack) << "magenta corner, " << e->command;
        EXPECT_EQ(QColor(shot.pixel(e->rect.right - 1, e->rect.bottom - 1)), cellColour(strip, e->cell));
    }
    const auto& cells = d.skin.dateCells;
    const struct {
        int cell;
        QColor colour;
    } date[] = {{0, cellColour(1, 1)}, {1, cellColour(1, 2)}, {2, cellColour(0, 0)}, {3, kBack},
                {4, cellColour(1, 5)}, {5, cellColour(0, 1)}, {6, cellColour(2, 5)}, {7, cellColour(0, 2)},
                {8, cellColour(0, 3)}};
    for (const auto& c : date)
        EXPECT_EQ(QColor(shot.pixel(centre(cells[c.cell]))), c.colour) << "date cell " << c.cell;
    window.close();
}

TEST(SkinWindow, APressShowsThePressedLookAndTheReleaseSendsTheCommand)
{
    SolidInstall temp;
    PageletWindow window(temp.overrides);
    ASSERT_TRUE(window.start());
    window.show();
    const SkinElement& settings = *window.dialog().skin.findElement(CMD_SETTINGS);
    const Rect r = settings.rect;
    const QColor normal = cellColour(5, settings.cell);
    const QPalette pal = QApplication::palette();
    const QColor hi = pal.color(QPalette::Highlight);

    pen(window, QEvent::MouseButtonPress, QPoint(r.left + 5, r.top + 5));
    QImage shot = window.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(centre(r))),
              QColor((normal.red() + hi.red()) / 2, (normal.green() + hi.green()) / 2, (normal.blue() + hi.blue()) / 2));
    EXPECT_EQ(QColor(shot.pixel(r.left, r.top + 8)).rgb(), pal.color(QPalette::Shadow).rgb()) << "inner edge";
    EXPECT_EQ(QColor(shot.pixel(r.left - 1, r.top + 8)).rgb(), pal.color(QPalette::Dark).rgb());
    EXPECT_EQ(QColor(shot.pixel(r.right, r.top + 8)).rgb(), pal.color(QPalette::Light).rgb());
    EXPECT_EQ(temp.dialogs.settingsRuns, 0);

    // Lifted somewhere else: the command still goes, once.
    pen(window, QEvent::MouseButtonRelease, QPoint(120, 120));
    EXPECT_EQ(temp.dialogs.settingsRuns, 1);
    pen(window, QEvent::MouseButtonRelease, QPoint(120, 120));
    EXPECT_EQ(temp.dialogs.settingsRuns, 1);
    shot = window.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(centre(r))), normal);
    EXPECT_EQ(QColor(shot.pixel(r.left - 1, r.top + 8)), kBack);

    window.close();
}

TEST(SkinWindow, BlueShowsWhereNoBackgroundCovers)
{
    SolidInstall temp;
    PageletWindow window(temp.overrides);
    ASSERT_TRUE(window.start());
    window.show();
    MainDialog& d = window.dialog();
    const QPoint settings = centre(d.skin.findElement(CMD_SETTINGS)->rect);

    d.skin.background.reset();
    EXPECT_EQ(pixel(window, {1, 1}), kBlue);
    EXPECT_EQ(pixel(window, settings), kBlue) << "nothing but the fill";

    QImage small(200, 200, QImage::Format_RGB32);
    small.fill(QColor(200, 30, 30));
    d.skin.background = std::make_unique<QtBitmap>(small);
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(130, 10)), QColor(200, 30, 30));
    EXPECT_EQ(QColor(shot.pixel(239, 100)), kBlue);
    EXPECT_EQ(QColor(shot.pixel(1, 230)), kBlue);
    EXPECT_EQ(QColor(shot.pixel(settings)), cellColour(5, d.skin.findElement(CMD_SETTINGS)->cell));
    window.close();
}
