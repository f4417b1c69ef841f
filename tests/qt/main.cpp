#include <QApplication>
#include <QTemporaryFile>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The window never grows past its screen: offscreen's own 800 x 600 would hold back the
    // largest zoom. PAGELET_TEST_SCREEN=WxH gives a test a screen of its own size.
    QTemporaryFile screens;
    if (std::string(std::getenv("QT_QPA_PLATFORM")) == "offscreen" && screens.open()) {
        int w = 1920, h = 1200;
        if (const char* size = std::getenv("PAGELET_TEST_SCREEN"))
            std::sscanf(size, "%dx%d", &w, &h);
        screens.write(QStringLiteral(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": %1, "height": %2}]})")
                          .arg(w)
                          .arg(h)
                          .toUtf8());
        screens.flush();
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens.fileName()).toUtf8().constData(), 1);
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
