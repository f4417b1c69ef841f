// pagelet-icons: draws the program icon at the sizes the desktop's icon theme asks for.
// Usage: pagelet-icons OUT_DIR SIZE... writes OUT_DIR/SIZExSIZE.png
//        pagelet-icons --embed PICTURE OUT.cpp writes the picture's pixels as the source of
//        the window icon (qt/graphics/ProgramIcon.h), so the program needs no picture decoder to start.
#include "../skingen/Art.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>

namespace {

int embed(const QString& picture, const QString& out)
{
    const QImage image = QImage(picture).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        std::fprintf(stderr, "pagelet-icons: cannot read %s\n", qPrintable(picture));
        return 1;
    }
    QByteArray text = "// Made by pagelet-icons from the program icon; not edited by hand.\n"
                      "#include \"qt/graphics/ProgramIcon.h\"\n\n#include <cstdint>\n\nnamespace pagelet {\n\nnamespace {\n"
                      "const std::uint32_t kPixels[] = {";
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        text += "\n   ";
        for (int x = 0; x < image.width(); ++x)
            text += " 0x" + QByteArray::number(row[x], 16).rightJustified(8, '0') + "u,";
    }
    text += QStringLiteral("\n};\n} // namespace\n\nQImage programIconImage()\n{\n"
                           "    return QImage(reinterpret_cast<const uchar*>(kPixels), %1, %2, %1 * 4, "
                           "QImage::Format_ARGB32_Premultiplied);\n}\n\n} // namespace pagelet\n")
                .arg(image.width())
                .arg(image.height())
                .toUtf8();
    QFile file(out);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        std::fprintf(stderr, "pagelet-icons: cannot write %s\n", qPrintable(out));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 3 && args[0] == QLatin1String("--embed"))
        return embed(args[1], args[2]);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: pagelet-icons OUT_DIR SIZE...\n");
        return 2;
    }
    QDir().mkpath(args[0]);
    for (const QString& size : args.mid(1)) {
        const int side = size.toInt();
        const QString file = QString("%1/%2x%2.png").arg(args[0]).arg(side);
        // Drawn at each size rather than scaled, so small icons stay crisp.
        if (side < 16 || !skingen::programIcon(side).save(file, "PNG")) {
            std::fprintf(stderr, "pagelet-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
