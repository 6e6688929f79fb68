// The menu file is read at every start and written after every edit and at exit; the caption
// rule runs for every popup item at every rebuild, that is after every value from the bus.
#include "Captions.h"
#include "MenuFile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
MenuList makeMenu(int entries) {
    MenuList menu;
    for (int i = 0; i < entries; ++i) {
        MenuCommand c;
        c.bezeichnung = QStringLiteral("Licht Raum %1 $3").arg(i);
        c.typ = QStringLiteral("Schaltaktor (0/1)");
        c.aktion = QStringLiteral("Um");
        c.gan = QString::number(1000 + i);
        c.lv = QStringLiteral("1,0");
        menu.append(c);
    }
    return menu;
}

void BM_SaveMenuFile(benchmark::State &state) {
    QTemporaryDir dir;
    const QString path = menuFilePath(dir.path() + QLatin1Char('/'));
    const MenuList menu = makeMenu(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(saveMenuFile(path, menu));
}
BENCHMARK(BM_SaveMenuFile)->Arg(32)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_LoadMenuFile(benchmark::State &state) {
    QTemporaryDir dir;
    const QString path = menuFilePath(dir.path() + QLatin1Char('/'));
    saveMenuFile(path, makeMenu(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadMenuFile(path));
}
BENCHMARK(BM_LoadMenuFile)->Arg(32)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_ExpandWildcards(benchmark::State &state) {
    const WildcardTexts texts;
    const QString text = QStringLiteral("Temperatur Wohnzimmer $4 °C");
    const QString value = QStringLiteral("21,5");
    for (auto _ : state)
        benchmark::DoNotOptimize(ExpandWildcards(text, value, texts));
}
BENCHMARK(BM_ExpandWildcards);
} // namespace

BENCHMARK_MAIN();
