// The main() of the benchmarks that need widgets: offscreen unless a platform is asked for (Xvfb, to
// see what the benchmarks draw).
#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
