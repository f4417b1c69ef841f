// pagelet-skingen: draws the shipped skins, the program icon and the settings picture.
//
//   pagelet-skingen [--res DIR] [--line-height N]
//
// Writes DIR/skins/<name>/ (skin.skn and the seven bitmaps), DIR/icon.png and
// DIR/picture.png. The page's ruled lines follow the editor's line placement for line
// height N (default: the system font's height, as the program takes it).
#include "Art.h"
#include "Layout.h"
#include "Theme.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace skingen;

namespace {

const QRgb kMagenta = qRgb(255, 0, 255);

int fail(const QString& message)
{
    std::fprintf(stderr, "pagelet-skingen: %s\n", qPrintable(message));
    return 1;
}

// Puts soft-edged art onto the background it will be drawn over, so its edges blend
// exactly; what the art doesn't touch becomes magenta, the transparent colour.
QImage flatten(const QImage& art, const QImage& back, QPoint at)
{
    QImage out(art.size(), QImage::Format_RGB32);
    for (int y = 0; y < art.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(art.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < art.width(); ++x) {
            const QRgb a = src[x]; // premultiplied
            const int alpha = qAlpha(a);
            if (alpha == 0) {
                dst[x] = kMagenta;
                continue;
            }
            const QRgb b = back.pixel(at.x() + x, at.y() + y);
            auto mix = [&](int s, int d) { return s + (255 - alpha) * d / 255; };
            QRgb c = qRgb(mix(qRed(a), qRed(b)), mix(qGreen(a), qGreen(b)), mix(qBlue(a), qBlue(b)));
            if ((c & 0xFFFFFF) == (kMagenta & 0xFFFFFF))
                c = qRgb(254, 0, 255); // never transparent by accident
            dst[x] = c;
        }
    }
    return out;
}

// A strip of cells, each drawn by paint and blended against the background at place(cell).
QImage strip(QSize cell, int cells, const QImage& back, const std::function<QRect(int)>& place,
             const std::function<void(QPainter&, const QRectF&, int)>& paint)
{
    QImage out(cell.width() * cells, cell.height(), QImage::Format_RGB32);
    out.fill(kMagenta);
    QPainter into(&out);
    for (int i = 0; i < cells; ++i) {
        QImage art(cell, QImage::Format_ARGB32_Premultiplied);
        art.fill(Qt::transparent);
        {
            QPainter p(&art);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            paint(p, QRectF(0, 0, cell.width(), cell.height()), i);
        }
        into.drawImage(i * cell.width(), 0, flatten(art, back, place(i).topLeft()));
    }
    return out;
}

QFont pixelFont(const QString& family, int pixels, QFont::Weight weight)
{
    QFont f(family);
    f.setPixelSize(pixels);
    f.setWeight(weight);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

void centredText(QPainter& p, const QRectF& r, const QString& text, const QFont& font, const QColor& color)
{
    p.setFont(font);
    p.setPen(color);
    p.drawText(r.adjusted(0, -0.5, 0, 0), Qt::AlignCenter, text);
}

QImage paintBack(const Theme& t, const Layout& l, int lineHeight)
{
    QImage back(l.client, QImage::Format_RGB32);
    back.fill(t.plateBottom);
    t.paintFrame(back, l, t);

    QPainter p(&back);
    // The page: a sheet under the editor with a shadow at its lower right.
    const QRect sheet = l.text.adjusted(0, -1, 0, 1);
    p.fillRect(sheet.translated(1, 1), t.pageEdge);
    p.fillRect(sheet, t.paper);
    // The editor puts line n in a box lineHeight high whose top is 2 + n * lineHeight below
    // the page's top. Hangul fills its box nearly to the bottom, so each rule runs just
    // below the box, on the first row of the next one, which the glyphs leave empty.
    for (int n = 0;; ++n) {
        const int y = l.text.top() + 2 + (n + 1) * lineHeight;
        if (y >= l.text.bottom())
            break;
        p.fillRect(QRect(sheet.left() + 2, y, sheet.width() - 4, 1), t.rule);
    }
    return back;
}

bool save(const QImage& image, const QString& path)
{
    if (!image.save(path, path.endsWith(".png") ? "PNG" : "BMP"))
        return false;
    std::printf("wrote %s\n", qPrintable(path));
    return true;
}

QString skinFile(const Theme& t, const CellSizes& s)
{
    auto rgb = [](const QColor& c) { return QString("%1,%2,%3").arg(c.red()).arg(c.green()).arg(c.blue()); };
    auto size = [](QSize z) { return QString("%1,%2").arg(z.width()).arg(z.height()); };
    QStringList lines {
        QString("[Pagelet skin %1]").arg(t.name),
        "",
        "[Month calendar]",
        "BACKGROUND:" + rgb(t.calendarBackground),
        "MONTHBACK:" + rgb(t.monthBack),
        "TEXT:" + rgb(t.calendarText),
        "TITLEBACK:" + rgb(t.titleBack),
        "TITLETEXT:" + rgb(t.titleText),
        "TRAILINGTEXT:" + rgb(t.trailingText),
        "",
        "[Date: month, day and weekday]",
        "NUMBER:" + size(s.number),
        "ETC:" + size(s.etc),
        "WEEKDAY:" + size(s.weekday),
        "",
        "[Buttons]",
        "WEATHER:" + size(s.weather),
        "BUTTON1:" + size(s.button1),
        "BUTTON2:" + size(s.button2),
        "",
        "[Page text: writing, reading]",
        "ENABLE:" + rgb(t.editText),
        "DISABLE:" + rgb(t.viewText),
    };
    return lines.join("\r\n") + "\r\n";
}

bool writeSkin(const Theme& t, const QString& folder, int lineHeight)
{
    const CellSizes s;
    const Layout l(s);
    if (!QDir().mkpath(folder))
        return false;
    const QImage back = paintBack(t, l, lineHeight);

    const QFont digits = pixelFont(t.digitFamily, t.digitPixels, QFont::Bold);
    const QFont hangul = pixelFont(t.hangulFamily, t.hangulPixels, QFont::Bold);
    const QString marks[4] = {QString::fromUtf8("월"), QString::fromUtf8("일"), QString::fromUtf8("요"),
                              QString::fromUtf8("일")};
    const QString days = QString::fromUtf8("일월화수목금토");
    const int markCells[4] = {2, 5, 7, 8};

    const QImage number = strip(s.number, 10, back, [&](int) { return l.date[1]; },
                                [&](QPainter& p, const QRectF& r, int i) {
                                    centredText(p, r, QString::number(i), digits, t.digit);
                                });
    const QImage etc = strip(s.etc, 4, back, [&](int i) { return l.date[markCells[i]]; },
                             [&](QPainter& p, const QRectF& r, int i) { centredText(p, r, marks[i], hangul, t.mark); });
    const QImage weekday = strip(s.weekday, 7, back, [&](int) { return l.date[6]; },
                                 [&](QPainter& p, const QRectF& r, int i) {
                                     const QColor c = i == 0 ? t.sunday : i == 6 ? t.saturday : t.weekday;
                                     centredText(p, r, days.mid(i, 1), hangul, c);
                                 });
    const QImage weather = strip(s.weather, 5, back, [&](int) { return l.weather; },
                                 [&](QPainter& p, const QRectF& r, int i) { drawWeather(p, r, i, t); });
    const QImage button1 = strip(s.button1, 5, back, [&](int i) { return l.top[i]; },
                                 [&](QPainter& p, const QRectF& r, int i) { drawTopButton(p, r, i, t); });
    const QImage button2 = strip(s.button2, 6, back, [&](int i) { return l.bottom[i]; },
                                 [&](QPainter& p, const QRectF& r, int i) { drawBottomButton(p, r, i, t); });

    QFile skn(folder + "/skin.skn");
    if (!skn.open(QIODevice::WriteOnly | QIODevice::Truncate) || skn.write(skinFile(t, s).toLatin1()) < 0)
        return false;
    skn.close();
    std::printf("wrote %s\n", qPrintable(skn.fileName()));
    return save(back, folder + "/back.bmp") && save(number, folder + "/number.bmp") &&
           save(etc, folder + "/etc.bmp") && save(weekday, folder + "/weekday.bmp") &&
           save(weather, folder + "/weather.bmp") && save(button1, folder + "/button1.bmp") &&
           save(button2, folder + "/button2.bmp");
}

} // namespace

int main(int argc, char* argv[])
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);

    QString res = "res";
    int systemHeight = QFontMetrics(QGuiApplication::font()).height();
    int lineHeight = systemHeight >= 6 && systemHeight <= 30 ? systemHeight : 14;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--res" && i + 1 < args.size()) {
            res = args[++i];
        } else if (args[i] == "--line-height" && i + 1 < args.size()) {
            bool ok = false;
            lineHeight = args[++i].toInt(&ok);
            if (!ok || lineHeight < 6 || lineHeight > 30)
                return fail("--line-height takes 6 to 30");
        } else {
            return fail(QString("usage: pagelet-skingen [--res DIR] [--line-height N] (got '%1')").arg(args[i]));
        }
    }
    std::printf("line height %d\n", lineHeight);

    for (const Theme& t : {defaultTheme(), blueTheme(), woodTheme()})
        if (!writeSkin(t, res + "/skins/" + t.name, lineHeight))
            return fail("cannot write the skin " + t.name);
    if (!save(programIcon(48), res + "/icon.png") || !save(settingsPicture(QSize(160, 82)), res + "/picture.png"))
        return fail("cannot write the icon or the picture");
    return 0;
}
