// The menu file is read at every start and written after every edit and at exit; the caption
// rule runs for every popup item at every rebuild, that is whenever the popup opens after a change.
#include "Captions.h"
#include "MenuFile.h"
#include "MenuTreeModel.h"
#include "ThreadCpu.h"
#include "TrayPopup.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QTemporaryDir>
#include <QTreeView>
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
BENCHMARK(BM_LoadMenuFile)->Arg(32)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_ExpandWildcards(benchmark::State &state) {
    const WildcardTexts texts;
    const QString text = QStringLiteral("Temperatur Wohnzimmer $4 °C");
    const QString value = QStringLiteral("21,5");
    for (auto _ : state)
        benchmark::DoNotOptimize(ExpandWildcards(text, value, texts));
}
BENCHMARK(BM_ExpandWildcards);

// "Neu laden" of a menu of N entries, as the program does it: the file read, the tree `btree` told
// and laid out in its view (as on the tab "Menü"), the closed popup marked to be built when it opens
// (BM_BuildPopup measures that build). Beside it the same file read alone (the counters say the
// file's and the tree's share).
void BM_LoadMenuIntoProgram(benchmark::State &state) {
    QTemporaryDir dir;
    const QString path = menuFilePath(dir.path() + QLatin1Char('/'));
    saveMenuFile(path, makeMenu(static_cast<int>(state.range(0))));
    MenuList menu;
    const WildcardTexts texts;
    const QIcon icon(QStringLiteral(":/nothing"));
    MenuTreeModel tree(menu, [&icon](int) { return icon; });
    QTreeView view;
    view.setModel(&tree);
    view.resize(300, 400);
    view.show();
    TrayPopup popup(menu, texts, [&icon](int) { return icon; });
    double fileSeconds = 0;
    double treeSeconds = 0;
    for (auto _ : state) {
        const double fileStart = threadCpuSeconds();
        menu = LoadMenuFile(path).menu;
        const double treeStart = threadCpuSeconds();
        fileSeconds += treeStart - fileStart;
        tree.reload();
        // Lays the rows out as the next paint of the view would.
        benchmark::DoNotOptimize(view.visualRect(tree.index(0, 0)));
        treeSeconds += threadCpuSeconds() - treeStart;
        popup.entriesReplaced();
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["file_only_ms"] = fileSeconds / iterations * 1e3;
    state.counters["tree_ms"] = treeSeconds / iterations * 1e3;
}
BENCHMARK(BM_LoadMenuIntoProgram)->Arg(200)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The popup of a menu of N entries built anew, as when it opens after a change: beside it the work
// that no popup can avoid, an item with its caption and icon made and deleted per entry. The
// figure per entry tells whether the build grows faster than the menu.
void BM_BuildPopup(benchmark::State &state) {
    const int entries = static_cast<int>(state.range(0));
    const MenuList menu = makeMenu(entries);
    const WildcardTexts texts;
    const QIcon icon(QStringLiteral(":/nothing"));
    TrayPopup popup(menu, texts, [&icon](int) { return icon; });
    QMenu *shown = popup.popupMenu();
    double bareSeconds = 0;
    for (auto _ : state) {
        popup.make_popup();
        benchmark::DoNotOptimize(popup.popupMenu()->actions().size());

        state.PauseTiming();
        const double bareStart = threadCpuSeconds();
        std::vector<std::unique_ptr<QAction>> items;
        items.reserve(static_cast<std::size_t>(entries));
        for (const MenuCommand &entry : menu) {
            auto &item =
                items.emplace_back(std::make_unique<QAction>(popupCaption(entry.bezeichnung, entry.lv, texts)));
            item->setIcon(icon);
            item->setData(QVariant::fromValue(qsizetype(1)));
        }
        items.clear();
        bareSeconds += threadCpuSeconds() - bareStart;
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(shown);
    const double iterations = static_cast<double>(state.iterations());
    // CPU time, as the benchmark's own figure.
    state.counters["bare_items_ms"] = bareSeconds / iterations * 1e3;
    state.counters["entries"] = entries;
}
BENCHMARK(BM_BuildPopup)->Arg(200)->Arg(2000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);
} // namespace
