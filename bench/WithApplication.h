#pragma once
// main() for the benchmarks that need a QApplication: offscreen unless a platform is chosen.
#include <QApplication>

#include <benchmark/benchmark.h>
#include <cstdlib>

// ready runs once the application exists, before any benchmark.
inline int runWithApplication(int argc, char** argv, void (*ready)() = nullptr)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    if (ready)
        ready();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
